// Tests of the optional override sections: hexadecimal values with presence fields.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_test_support.h"

namespace {

struct OptionalCase {
  std::string text;
  int result;
  std::string output;
  uint32_t DeviceSettings::*field;
  uint32_t value;
  int32_t DeviceSettings::*present;
  int32_t present_value;
};

TEST(OptionalSections, ValuesPresenceFieldsAndFormatMessages) {
  using S = DeviceSettings;
  const OptionalCase cases[] = {
      {"[ConfigFlags1]\nConfigFlags1Override = 0x12345678\n", 0, "", &S::ConfigFlags1Override,
       0x12345678, &S::ConfigFlags1OverridePresent, 1},
      {"[ConfigFlags1]\nConfigFlags1Override = 0x123456789\n", -1,
       "ERROR: Invalid ConfigFlags1Override, should be in the form '0xFFFFFFFF'\n",
       &S::ConfigFlags1Override, 0, &S::ConfigFlags1OverridePresent, 0},
      {"[ConfigFlags3]\n", 0, "", &S::ConfigFlags3Override, 0, &S::ConfigFlags3OverridePresent, 0},
      {"[ConfigFlags5]\nConfigFlags5Override = 0x\n", 0, "", &S::ConfigFlags5Override, 0,
       &S::ConfigFlags5OverridePresent, 1},
      {"[LTMBELTConfig]\nLTMBELTActive1 = 0xCAFE\n", 0, "", &S::LTMBELTActive1, 0xCAFE,
       &S::LTMBELTPresent, 1},
      {"[LTMBELTConfig]\nLTMBELTInActive0 = 0xZ\n", -1,
       "ERROR: Invalid LTMBELTInActive0, should be in the '0xFFFFFFFF' format\n",
       &S::LTMBELTInActive0, 0, &S::LTMBELTPresent, 0},
      {"[CommonTestBusConfig]\nCommonTestBusIn = 0xFFFFFFFF\n", 0, "", &S::CommonTestBusIn,
       0xFFFFFFFF, &S::CommonTestBusInPresent, 1},
      {"[USBTestConfig]\nUSB3PllTestBusIn = 0x12345\n", -1,
       "ERROR: Invalid USB3PllTestBusIn, should be in the '0x0000' format\n", &S::USB3PllTestBusIn,
       0, &S::USB3PllTestBusInPresent, 0},
      {"[USBTestConfig]\nUSB2AFETestBusIn = 0xAB\n", 0, "", &S::USB2AFETestBusIn, 0xAB,
       &S::USB2AFETestBusInPresent, 1},
      {"[USBTestConfig]\nUSB2AFETestBusIn = 0xABC\n", -1,
       "ERROR: Invalid USB2AFETestBusIn, should be in the '0x00' format\n", &S::USB2AFETestBusIn, 0,
       &S::USB2AFETestBusInPresent, 0},
      {"[USBTestConfig]\nUSB3AFETestBusIn1 = 0x1\n", 0, "", &S::USB3AFETestBusIn1, 1,
       &S::USB3AFETestBusIn1Present, 1},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x0000010E\n", 0, "", &S::USB2ExtAttributes,
       0x10E, &S::USB2ExtAttributesPresent, 1},
      {"[USB3ExtensionConfig]\nSpeedsSupported = 0xE\n", 0, "", &S::SpeedsSupported, 0xE,
       &S::SpeedsSupportedPresent, 1},
      {"[USB3ExtensionConfig]\nSpeedsSupported = 0x0E\n", -1,
       "ERROR: Invalid SpeedsSupported, should be in the '0x0' format\n", &S::SpeedsSupported, 0,
       &S::SpeedsSupportedPresent, 0},
      {"[USB3ExtensionConfig]\nU2DevExitLatency = 0x5DC\n", 0, "", &S::U2DevExitLatency, 0x5DC,
       &S::U2DevExitLatencyPresent, 1},
      {"[USB3ExtensionConfig]\nU1DevExitLatency = 10\n", -1,
       "ERROR: Invalid U1DevExitLatency, should be in the '0x0' format\n", &S::U1DevExitLatency, 0,
       &S::U1DevExitLatencyPresent, 0},
  };
  for (const OptionalCase& c : cases) {
    const IniRun run = LoadIniText(c.text);
    EXPECT_EQ(run.result, c.result) << c.text;
    EXPECT_EQ(run.output, c.output) << c.text;
    EXPECT_EQ(run.settings.*c.field, c.value) << c.text;
    EXPECT_EQ(run.settings.*c.present, c.present_value) << c.text;
  }
}

TEST(OptionalSections, FailureReadsTheRestOfTheSectionThenStopsTheLoad) {
  const IniRun run = LoadIniText(
      "[USBTestConfig]\nUSB3PllTestBusIn = 0xZZ\nUSB2AFETestBusIn = 0x12\n"
      "[ConfigFlags2]\nConfigFlags2Override = 0x1\n");
  EXPECT_EQ(run.result, -1);
  EXPECT_EQ(run.settings.USB2AFETestBusIn, 0x12u);
  EXPECT_EQ(run.settings.ConfigFlags2OverridePresent, 0);
}

TEST(OtpConfigSection, OnlyKnownSignaturesAreAccepted) {
  constexpr char kMessage[] = "ERROR: Invalid OtpSignature, should be '0xF3' or '0xF7'\n";
  const struct {
    const char* value;
    int result;
    const char* output;
    uint32_t stored;
  } cases[] = {
      {"0xF3", 0, "", 0xF3}, {"0xF7", 0, "", 0xF7},        {"0xDEAD", 0, "", 0xDEAD},
      {"0x0", 0, "", 0},     {"0xF4", -1, kMessage, 0xF4}, {"0xDEAD0", -1, kMessage, 0},
  };
  for (const auto& c : cases) {
    const IniRun run = LoadIniText(std::string("[OtpConfig]\nOtpSignature = ") + c.value + "\n");
    EXPECT_EQ(run.result, c.result) << c.value;
    EXPECT_EQ(run.output, c.output) << c.value;
    EXPECT_EQ(run.settings.OtpSignature, c.stored) << c.value;
  }
}

}  // namespace
