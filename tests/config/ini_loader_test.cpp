// Tests of loading whole INI files: the header search, line handling, the stop at a failing
// section, the write-back positions, and the checks run on what was loaded.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_test_support.h"

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string Validate(const IniRun& run) {
  CaptureConsole console;
  const int result = ValidateIniSections(run.settings, run.state, console);
  return std::to_string(result) + ":" + console.TakeOutput();
}

TEST(LoadIniFile, ExampleBoardFileLoadsAndValidatesSilently) {
  DeviceSettings settings;
  IniState state;
  CaptureConsole console;
  EXPECT_EQ(LoadIniFile(QNT_SOURCE_DIR "/examples/board.ini", settings, state, console), 0);
  EXPECT_EQ(ValidateIniSections(settings, state, console), 0);
  EXPECT_EQ(CheckGpioWake(settings, console), 0);
  EXPECT_EQ(console.output(), "");
  EXPECT_EQ(settings.ManufacturerString, "Example Networks");
  EXPECT_FALSE(settings.ConfigurationString.has_value());
}

TEST(LoadIniFile, CompleteFileSetsEverySectionPresentFlag) {
  const IniRun run = LoadIniText(kValidSections);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(Validate(run), "0:");
}

TEST(LoadIniFile, EmptyFileLoadsAndEverySectionIsMissing) {
  const IniRun run = LoadIniText("");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(Validate(run), std::string("-1:") + kAllMissing);
}

TEST(LoadIniFile, MissingFileIsReportedWithoutMarker) {
  DeviceSettings settings;
  IniState state;
  CaptureConsole console;
  EXPECT_EQ(LoadIniFile("/nonexistent/board.ini", settings, state, console), -1);
  EXPECT_EQ(console.output(), "The file /nonexistent/board.ini is not found\n");
}

TEST(LoadIniFile, UnreadableFileIsReportedAsMissing) {
  TempDir dir;
  DeviceSettings settings;
  IniState state;
  CaptureConsole console;
  const std::string path = dir.path().string();
  EXPECT_EQ(LoadIniFile(path.c_str(), settings, state, console), -1);
  EXPECT_EQ(console.output(), "The file " + path + " is not found\n");
}

TEST(LoadIniFile, HeaderRecognition) {
  struct Case {
    const char* name;
    std::string text;
    bool id_read;
  };
  const Case cases[] = {
      {"plain", "[ID]\nVendorID = 0x1234\n", true},
      {"leading blanks", "  \t[ID]\nVendorID = 0x1234\n", true},
      {"after an unknown section", "[Other]\nVendorID = 0x1\n[ID]\nVendorID = 0x1234\n", true},
      {"trailing blank", "[ID] \nVendorID = 0x1234\n", false},
      {"comment after it", "[ID] # ids\nVendorID = 0x1234\n", false},
      {"lower case", "[id]\nVendorID = 0x1234\n", false},
      {"header on the last line without line end", "[ID]", false},
      {"bracket beyond 256 characters", "[ID" + std::string(300, ' ') + "]\nVendorID = 0x1\n",
       false},
  };
  for (const Case& c : cases) {
    const IniRun run = LoadIniText(c.text);
    EXPECT_EQ(run.state.VendorID != KeyState::kAbsent, c.id_read) << c.name;
    if (c.id_read) {
      EXPECT_EQ(run.settings.VendorID, 0x1234) << c.name;
    }
  }
}

TEST(LoadIniFile, HeaderWithBlankInsideAnotherSectionIsAnIgnoredLine) {
  const std::string text = Replace(kValidSections, "[ID]\n", "[ID] \n");
  const IniRun run = LoadIniText(text);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(Validate(run), "-1:ERROR: Missing [ID] section in the ini file\n");
  EXPECT_EQ(run.settings.BcdDevice, 0);
}

TEST(LoadIniFile, CrLfFileReadsLikeLfFile) {
  std::string crlf;
  for (char c : std::string(kValidSections)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const IniRun lf = LoadIniText(kValidSections);
  const IniRun run = LoadIniText(crlf);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(Validate(run), "0:");
  EXPECT_EQ(run.settings.CurrentSerialNumber, lf.settings.CurrentSerialNumber);
  EXPECT_EQ(run.settings.CurrentMacAddressLength, 17);
}

TEST(LoadIniFile, LastKeyWithoutLineEndIsRead) {
  const IniRun run = LoadIniText("[ID]\nVendorID = 0x1234");
  EXPECT_EQ(run.settings.VendorID, 0x1234);
}

TEST(LoadIniFile, FailingSectionEndsTheLoad) {
  const IniRun run = LoadIniText("[ID]\nVendorID = 0x0\n[Power]\nHSMaxPower = 100\n");
  EXPECT_EQ(run.result, -1);
  EXPECT_EQ(run.output, "ERROR: Vendor ID cannot be 0\n");
  EXPECT_EQ(run.settings.HSMaxPower, 0);
}

TEST(LoadIniFile, SectionGivenTwiceKeepsKeyStatesOfTheFirst) {
  const IniRun run = LoadIniText(
      "[ID]\nVendorID = 0x1111\nProductID = 0x2222\nBcdDevice = 1\n"
      "[ID]\nVendorID = 0x3333\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.settings.VendorID, 0x3333);
  EXPECT_EQ(run.settings.ProductID, 0x2222);
  EXPECT_TRUE(run.state.IDSectionPresent);
}

TEST(LoadIniFile, WriteBackPositionsPointAtTheValuesInTheFile) {
  const std::string text =
      "# board 7\r\n[MacAddress]\r\nCurrentMacAddress=00-11-22-33-44-55\r\n"
      "MaximumMacAddress = 00:11:22:33:FF:FF\r\nMacAddressIncrement = 1\r\n"
      "[SerialNumber]\r\n  CurrentSerialNumber =  00AB # note\r\n";
  const IniRun run = LoadIniText(text);
  const DeviceSettings& s = run.settings;
  EXPECT_EQ(text.substr(static_cast<size_t>(s.CurrentSerialNumberOffset),
                        static_cast<size_t>(s.CurrentSerialNumberLength)),
            "00AB");
  EXPECT_EQ(text.substr(static_cast<size_t>(s.CurrentMacAddressOffset),
                        static_cast<size_t>(s.CurrentMacAddressLength)),
            "00-11-22-33-44-55");
  EXPECT_EQ(s.CurrentMacAddressPresent, 1);
}

TEST(LoadIniFile, HostileLinesAreHandledSafely) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string text;
    int result;
  };
  const Case cases[] = {
      {"NUL byte in a value", "[ID]\nVendorID = 0x1\0 1\nProductID=0x1\nBcdDevice=1\n"s, 0},
      {"NUL byte before a header", "\0[ID]\nVendorID = 0x0\n"s, 0},
      {"NUL byte inside a header", "[I\0D]\nVendorID = 0x0\n"s, 0},
      {"long line of brackets", std::string(5000, '[') + "\n[Other]\n", 0},
      {"long string value", "[String]\nManufacturerString = " + std::string(1000, 'M') + "\n", -1},
      {"long odd pattern",
       "[PMEWUFConfiguration]\nFilterAddressType=0\nFilterPatternOffset=0\nFilterMaskPattern = " +
           std::string(999, 'A'),
       -1},
      {"long serial number", "[SerialNumber]\nCurrentSerialNumber = " + std::string(400, '1'), -1},
      {"long key name", std::string("[ID]\n") + std::string(600, 'V') + " = 0x1\n", -1},
      {"only CR characters", std::string(700, '\r'), 0},
  };
  for (const Case& c : cases) {
    const IniRun run = LoadIniText(c.text);
    EXPECT_EQ(run.result, c.result) << c.name << "\n" << run.output;
  }
  const IniRun run = LoadIniText(cases[0].text);
  EXPECT_EQ(run.settings.VendorID, 0x1);
  const IniRun long_string = LoadIniText(cases[4].text);
  EXPECT_EQ(long_string.settings.ManufacturerString->size(), 256u - 21u);
}

TEST(CheckGpioWake, WakingGpiosMustBeEnabledInputs) {
  struct Case {
    uint16_t wake, enable, direction;
    const char* output;
  };
  const Case cases[] = {
      {0x000, 0x000, 0x000, ""},
      {0x001, 0x000, 0x000,
       "ERROR: When GPIOWake is enabled for perticular GPIO the GPIOEnable need to be set for "
       "that GPIO\n"},
      {0x001, 0x001, 0x001,
       "ERROR: When GPIOWake is enabled for perticular GPIO the GPIODirection need to be set as "
       "Input for that GPIO\n"},
      {0x001, 0x001, 0x000, ""},
      {0xF000, 0x000, 0x000, ""},  // bits above GPIO 11 are not looked at
      {0x802, 0x802, 0x800,
       "ERROR: When GPIOWake is enabled for perticular GPIO the GPIODirection need to be set as "
       "Input for that GPIO\n"},
  };
  for (const Case& c : cases) {
    DeviceSettings settings;
    settings.GPIOWake = c.wake;
    settings.GPIOEnable = c.enable;
    settings.GPIODirection = c.direction;
    CaptureConsole console;
    EXPECT_EQ(CheckGpioWake(settings, console), c.output[0] == '\0' ? 0 : -1);
    EXPECT_EQ(console.output(), c.output);
  }
}

TEST(ValidateIniSections, LpmBitsMustAgree) {
  constexpr char kMismatch[] =
      "-1:ERROR: The LPM setting in the ConfigFlags0Override and LPM setting in "
      "USB2ExtAttributes do not match\n";
  constexpr char kDefaultMismatch[] =
      "-1:ERROR: By default LPM is set. This LMP setting do not match with the "
      "USB2ExtAttributes LPM setting\n";
  struct Case {
    const char* extra;
    const char* expected;
  };
  const Case cases[] = {
      {"", "0:"},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x0\n", kDefaultMismatch},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x2\n", "0:"},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x2\n[ConfigFlags0]\nConfigFlags0Override = "
       "0x4\n",
       "0:"},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x0\n[ConfigFlags0]\nConfigFlags0Override = "
       "0x0\n",
       "0:"},
      {"[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x2\n[ConfigFlags0]\nConfigFlags0Override = "
       "0x0\n",
       kMismatch},
      {"[ConfigFlags0]\nConfigFlags0Override = 0x0\n", "0:"},
  };
  for (const Case& c : cases) {
    const IniRun run = LoadIniText(std::string(kValidSections) + c.extra);
    EXPECT_EQ(run.result, 0) << c.extra;
    EXPECT_EQ(Validate(run), c.expected) << c.extra;
  }
}

TEST(ValidateIniSections, MissingSectionsAndLpmMismatchAreBothReported) {
  const IniRun run = LoadIniText("[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x0\n");
  EXPECT_EQ(Validate(run), std::string("-1:") + kAllMissing +
                               "ERROR: By default LPM is set. This LMP setting do not match with "
                               "the USB2ExtAttributes LPM setting\n");
}

}  // namespace
