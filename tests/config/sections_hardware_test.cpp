// Tests of the hardware sections: the one-digit enable family, the LED functions, GPIO masks,
// polling intervals, the wake-up filter and configuration flags word 0.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_section.h"
#include "config/ini_test_support.h"

namespace {

struct SectionCase {
  std::string text;
  int result;
  std::string output;
};

void ExpectSectionCases(const char* header, std::initializer_list<SectionCase> cases) {
  for (const SectionCase& c : cases) {
    const IniRun run = LoadIniText(std::string(header) + "\n" + c.text);
    EXPECT_EQ(run.result, c.result) << header << "\n" << c.text;
    EXPECT_EQ(run.output, c.output) << header << "\n" << c.text;
  }
}

constexpr char kGpioPme0All[] =
    "GPIOPMEEnable = 1\nGPIOPMEConfiguration = 0\nGPIOPMELength = 1\nGPIOPMEPolarity = 0\n"
    "GPIOBufferType = 1\nGPIOPMEWOLSelect = 0\nPMEMagicPacketEnable = 1\nPMEPerfectDAEnable = 1\n";

TEST(EnableSections, OneDigitKeysWithMissingAndRangeMessagesPerKey) {
  ExpectSectionCases(
      "[GPIOPME0]",
      {
          {kGpioPme0All, 0, ""},
          {"GPIOPMEEnable = 10\n", -1, "ERROR: Invalid GPIOPMEEnable (range 0-1)\n"},
          {"PMEPerfectDAEnable = x\n", -1, "ERROR: Invalid PMEPerfectDAEnable (range 0-1)\n"},
      });
  ExpectSectionCases(
      "[GPIOPME1]",
      {
          {"GPIOConnectBufferType = 2\nGPIOConnectPolarity = 0\nPMEWUFFEnable = 3\n", -1,
           "ERROR: Invalid value for GPIOConnectBufferType (range 0-1)\n"
           "ERROR: The field GPIOConnectEnable is missing\n"
           "ERROR: Invalid value for PMEWUFFEnable (range 0-1)\n"},
      });
  ExpectSectionCases(
      "[LEDConfig0]",
      {
          {"LED3Enable = 1\nLED2Enable = 1\nLED1Enable = 1\nLED0Enable = 1\n", 0, ""},
          {"", -1,
           "ERROR: The field LED3Enable is missing\nERROR: The field LED2Enable is "
           "missing\nERROR: The field LED1Enable is missing\nERROR: The field "
           "LED0Enable is missing\n"},
      });
  const IniRun run = LoadIniText(std::string("[GPIOPME0]\n") + kGpioPme0All);
  EXPECT_EQ(run.settings.GPIOPMELength, 1);
  EXPECT_EQ(run.settings.GPIOPMEConfiguration, 0);
  EXPECT_EQ(run.settings.PMEPerfectDAEnable, 1);
  EXPECT_TRUE(run.state.GPIOPME0SectionPresent);
}

TEST(LedFunctionSections, MissingKeysFirstThenValuesAboveFifteen) {
  ExpectSectionCases("[LEDConfig1]", {
                                         {"LED1Function = 15\nLED0Function = 0\n", 0, ""},
                                         {"LED1Function = 16\n", -1,
                                          "ERROR: The field LED0Function is missing\n"
                                          "ERROR: LED1Function cannot be greater than 15\n"},
                                         {"LED0Function = 100\n", -1,
                                          "ERROR: Invalid LED0Function or out of range\n"},
                                     });
  ExpectSectionCases("[LEDConfig2]", {
                                         {"LED2Function = 99\nLED3Function = 20\n", -1,
                                          "ERROR: LED3Function cannot be greater than 15\n"
                                          "ERROR: LED2Function cannot be greater than 15\n"},
                                     });
}

TEST(GpioConfigSection, ThreeDigitMasksAllRequired) {
  ExpectSectionCases(
      "[GPIOConfig]",
      {
          {"GPIOEnable = 0xFFF\nGPIOBuffer = 0x0\nGPIODirection = 0x0\nGPIOData = 0x0\n"
           "GPIOWake = 0x0\nGPIOWakePolarity = 0x0\n",
           0, ""},
          {"GPIOEnable = 0x0FFF\n", -1,
           "ERROR: Invalid GPIOEnable, should be in the form '0xFFF'\n"},
          {"GPIOWakePolarity = 0x1\n", -1,
           "ERROR: The field GPIOEnable is missing\nERROR: The field GPIOBuffer is missing\n"
           "ERROR: The field GPIODirection is missing\nERROR: The field GPIOData is missing\n"
           "ERROR: The field GPIOWake is missing\n"},
      });
  ExpectSectionCases("[LEDBehaviorConfig]",
                     {
                         {"LEDBehavior = 0xFFFF\n", 0, ""},
                         {"LEDBehavior = 0x10000\n", -1,
                          "ERROR: Invalid LEDBehavior, should be in the form '0xFFFF'\n"},
                         {"", -1, "ERROR: The field LEDBehavior is missing\n"},
                     });
}

TEST(GpioConfigSection, EachMaskGoesIntoItsOwnField) {
  const IniRun run = LoadIniText(
      "[GPIOConfig]\nGPIOEnable = 0x801\nGPIOBuffer = 0x2\nGPIODirection = 0x3\nGPIOData = 0x4\n"
      "GPIOWake = 0x5\nGPIOWakePolarity = 0xabc\n");
  const DeviceSettings& s = run.settings;
  EXPECT_EQ(s.GPIOEnable, 0x801);
  EXPECT_EQ(s.GPIOBuffer, 0x2);
  EXPECT_EQ(s.GPIODirection, 0x3);
  EXPECT_EQ(s.GPIOData, 0x4);
  EXPECT_EQ(s.GPIOWake, 0x5);
  EXPECT_EQ(s.GPIOWakePolarity, 0xABC);
}

TEST(InterruptPollIntervalSection, LimitsPerSpeed) {
  ExpectSectionCases(
      "[InterruptPollInterval]",
      {
          {"FSPollInterval = 255 # ms\nHSPollInterval = 16\n", 0, ""},
          {"FSPollInterval = 256\nHSPollInterval = 17\n", -1,
           "ERROR: Full speed interrupt polling interval cannot exceed 255.\n"
           "ERROR: High speed interrupt polling interval cannot exceed 16.\n"},
          {"FSPollInterval = 0\nHSPollInterval = 0\n", -1,
           "ERROR: Full speed interrupt polling interval cannot be 0.\n"
           "ERROR: High speed interrupt polling interval cannot be 0.\n"},
          {"", -1,
           "ERROR: The field FSPollInterval is missing\nERROR: The field HSPollInterval is "
           "missing\n"},
          {"FSPollInterval = 1000\n", -1,
           "ERROR: Invalid Full speed interrupt polling interval.\n"},
          {"HSPollInterval = 100\n", -1, "ERROR: Invalid High speed interrupt polling interval.\n"},
          {"SSPollInterval = 100\n", -1,
           "ERROR: Invalid Super speed interrupt polling interval.\n"},
      });
  const IniRun run = LoadIniText(
      "[InterruptPollInterval]\nFSPollInterval = 8\nHSPollInterval = 4\nSSPollInterval = 99\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.settings.SSPollInterval, 99);
}

std::string Pairs(int count, const char* separator = " ") {
  std::string pattern;
  for (int i = 0; i < count; ++i) {
    if (i > 0) pattern += separator;
    pattern += "A5";
  }
  return pattern;
}

TEST(PmeWufConfigurationSection, FieldsAndPatternMessages) {
  const std::string head = "FilterAddressType = 2\nFilterPatternOffset = 255\n";
  ExpectSectionCases(
      "[PMEWUFConfiguration]",
      {
          {head + "FilterMaskPattern = 1A 1b\t\t 00  \n", 0, ""},
          {head + "FilterMaskPattern = " + Pairs(79) + "\n", 0, ""},  // as many as a line holds
          {"FilterAddressType = 3\nFilterPatternOffset = 256\n", -1,
           "ERROR: The field FilterAddressType range (0 - 2).\n"
           "ERROR: Invalid FilterPatternOffset (0 - 255)\n"
           "ERROR: The field FilterMaskPattern is missing\n"},
          {"FilterAddressType = 10\n", -1, "ERROR: Invalid FilterAddressType (0 - 2)\n"},
          {"FilterPatternOffset = 1000\n", -1, "ERROR: Invalid FilterPatternOffset (0 - 255)\n"},
          {"FilterCRC = 0x100\n", -1, "ERROR: Invalid FilterCRC.\n"},
          {head + "FilterMaskPattern = 1A1B\n", -1,
           "ERROR: The pattern should be in the format \"1A 1B 1C 1D 1E 1D 1F 2A....\"\n"
           "ERROR: FilterMaskPattern validation failed\n"},
          {head + "FilterMaskPattern = 1A 1\n", -1,
           "ERROR: Not hex digit for pattern\nERROR: FilterMaskPattern validation failed\n"},
          {head + "FilterMaskPattern = G0 1Z 00\n", -1,
           "ERROR: Not hex digit for pattern\nERROR: Not hex digit for pattern\n"
           "ERROR: FilterMaskPattern validation failed\n"},
      });
  const IniRun run = LoadIniText("[PMEWUFConfiguration]\n" + head + "FilterMaskPattern = 1A b2\n");
  EXPECT_EQ(run.settings.FilterMaskPatternBytes[0], 0x1A);
  EXPECT_EQ(run.settings.FilterMaskPatternBytes[1], 0xB2);
  EXPECT_EQ(run.settings.FilterMaskPatternBytes[2], 0x00);
  EXPECT_EQ(run.settings.FilterCRCAbsent, 1);
  EXPECT_EQ(run.settings.FilterMaskPattern, "1A b2");
  const IniRun with_crc =
      LoadIniText("[PMEWUFConfiguration]\n" + head + "FilterCRC = 0xFF\nFilterMaskPattern = 00\n");
  EXPECT_EQ(with_crc.settings.FilterCRCAbsent, 0);
  EXPECT_EQ(with_crc.settings.FilterCRC, 0xFF);
}

TEST(ParseFilterMaskPattern, AtMost128Bytes) {
  for (const auto& [pairs, result] : {std::pair{128, 0}, std::pair{129, -1}}) {
    DeviceSettings settings;
    settings.FilterMaskPattern = Pairs(pairs);
    CaptureConsole console;
    EXPECT_EQ(ParseFilterMaskPattern(settings, console), result);
    EXPECT_EQ(console.output(),
              result == 0 ? "" : "ERROR: FilterMaskPattern contains more than 128 bytes\n");
    EXPECT_EQ(settings.FilterMaskPatternBytes[127], 0xA5);
  }
}

TEST(ConfigFlags0Section, OverrideWordMakesTheFieldsOptional) {
  ExpectSectionCases(
      "[ConfigFlags0]",
      {
          {"ConfigFlags0Override = 0xFFFFFFFF\n", 0, ""},
          {"ConfigFlags0Override = 0x1\nSelfPower = 7\n", 0, ""},
          {"SWModeSuspendNSelect = 3\nSWModePolarity = 1\nRemoteWakeupEnable = 1\nSelfPower = 1\n",
           0, ""},
          {"SWModeSuspendNSelect = 4\nSWModePolarity = 2\nRemoteWakeupEnable = 3\n", -1,
           "ERROR: Invalid SWModeSuspendNSelect or out of range (0-3)\n"
           "ERROR: Invalid value for SWModePolarity(range 0-1)\n"
           "ERROR: Invalid value for RemoteWakeupEnable(range 0-1)\n"
           "ERROR: The field SelfPower is missing\n"},
          {"ConfigFlags0Override = 0x123456789\n", -1,
           "ERROR: Invalid ConfigFlags0Override, should be in the form '0xFFFFFFFF'\n"},
          {"SWModeSuspendNSelect = 10\n", -1,
           "ERROR: Invalid SWModeSuspendNSelect or out of range (0-3)\n"},
          {"SelfPower = a\n", -1, "ERROR: Invalid SelfPower (range 0-1)\n"},
      });
  const IniRun run = LoadIniText("[ConfigFlags0]\nConfigFlags0Override = 0x4\nSelfPower = 1\n");
  EXPECT_EQ(run.settings.ConfigFlags0Override, 0x4u);
  EXPECT_EQ(run.settings.ConfigFlags0OverridePresent, 1);
  EXPECT_EQ(run.settings.SelfPower, 1);
}

TEST(HardwareSections, SectionOrderDoesNotChangeTheValues) {
  const std::string gpio =
      "[GPIOConfig]\nGPIOEnable = 0x1\nGPIOBuffer = 0x0\nGPIODirection = 0x0\nGPIOData = 0x0\n"
      "GPIOWake = 0x1\nGPIOWakePolarity = 0x0\n";
  const std::string pme = std::string("[GPIOPME0]\n") + kGpioPme0All;
  const IniRun first = LoadIniText(gpio + pme);
  const IniRun second = LoadIniText(pme + gpio);
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(second.result, 0);
  EXPECT_EQ(first.settings.GPIOWake, second.settings.GPIOWake);
  EXPECT_EQ(first.settings.GPIOPMEEnable, second.settings.GPIOPMEEnable);
}

}  // namespace
