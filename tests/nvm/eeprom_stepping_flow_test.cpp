// eeprom_stepping_flow_test.cpp - -w -i with -s: after a verified write the next board's MAC
// address and serial number go back into the INI file, and any failure before leaves the file
// alone.
#include "nvm/eeprom_flow_support.h"

namespace {

class EepromStepping : public EepromFlow {
 protected:
  void SetUp() override {
    EepromFlow::SetUp();
    WriteFileText(ini_, ExampleIniText());
  }
  int RunStepping() { return Run({"-w", "-i", ini_, "-s"}); }

  const std::string ini_ = File("board.ini");
};

TEST_F(EepromStepping, GoodWriteStepsBothValuesInTheIniFile) {
  int32_t length = 0;
  const std::vector<uint8_t> image = ImageOf(ExampleIniText(), &length);
  EXPECT_EQ(RunStepping(), 0);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with " + std::to_string(length) +
                          " bytes\nUpdated ini file\n");
  EXPECT_EQ(bench_.Eeprom(), image);
  std::string expected = ExampleIniWith("CurrentMacAddress = 00:11:22:33:44:55",
                                        "CurrentMacAddress = 00:11:22:33:44:56");
  expected.replace(expected.find("CurrentSerialNumber = 000000000001"), 34,
                   "CurrentSerialNumber = 000000000002");
  EXPECT_EQ(ReadFileText(ini_), expected);
}

TEST_F(EepromStepping, LastMacOfTheRangeGoesToOneBoardAndTheNextRunIsRefused) {
  const std::string text = ExampleIniWith("MaximumMacAddress = 00:11:22:33:FF:FF",
                                          "MaximumMacAddress = 00:11:22:33:44:55");
  WriteFileText(ini_, text);
  int32_t length = 0;
  const std::vector<uint8_t> image = ImageOf(text, &length);
  EXPECT_EQ(RunStepping(), 10);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with " + std::to_string(length) +
                          " bytes\n"
                          "Reach maximum MAC address\n"
                          "ERROR: Couldn't increase any Mac or serial number.\n"
                          "This board was programmed with MAC address 00:11:22:33:44:55 and "
                          "serial number 000000000001, the last of the range in " +
                          ini_ + "; the next run is refused until the file is given a new range\n");
  EXPECT_EQ(bench_.Eeprom(), image);
  // The file holds a value past the range, so the next board cannot be given this one's again.
  std::string stepped = text;
  stepped.replace(stepped.find("CurrentMacAddress = 00:11:22:33:44:55"), 37,
                  "CurrentMacAddress = 00:11:22:33:44:56");
  stepped.replace(stepped.find("CurrentSerialNumber = 000000000001"), 34,
                  "CurrentSerialNumber = 000000000002");
  EXPECT_EQ(ReadFileText(ini_), stepped);

  bench_.CreateAdapter(1, kChipQnt5231);
  bench_.ClearLog();
  EXPECT_EQ(Run({"-X", "1", "-w", "-i", ini_, "-s"}), 10);
  EXPECT_EQ(Output(), "ERROR: The MAC address range of " + ini_ +
                          " is used up (CurrentMacAddress 00:11:22:33:44:56 is above "
                          "MaximumMacAddress 00:11:22:33:44:55): give it a new range; nothing was "
                          "programmed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  EXPECT_EQ(ReadFileText(ini_), stepped);
}

TEST_F(EepromStepping, IdentityNoBoardMayHaveIsRefusedBeforeTheBoardIsTouched) {
  struct Case {
    const char* from;
    const char* to;
    const char* message;
  };
  const Case cases[] = {
      {"CurrentMacAddress = 00:11:22:33:44:55", "CurrentMacAddress = 01:00:5E:00:00:01",
       "is a multicast, broadcast or all-zero address"},
      {"CurrentMacAddress = 00:11:22:33:44:55", "CurrentMacAddress = 00:00:00:00:00:00",
       "is a multicast, broadcast or all-zero address"},
      {"CurrentMacAddress = 00:11:22:33:44:55", "CurrentMacAddress = FF:FF:FF:FF:FF:FF",
       "is a multicast, broadcast or all-zero address"},
      {"CurrentMacAddress = 00:11:22:33:44:55", "CurrentMacAddress = 00:11:22:34:00:00",
       "The MAC address range of"},
      {"CurrentSerialNumber = 000000000001", "CurrentSerialNumber = 00010000000F",
       "The serial number range of"},
      {"CurrentSerialNumber = 000000000001", "CurrentSerialNumber = 000000000~FF",
       "cannot be stepped: character 10 would not be printable"},
      {"CurrentSerialNumber = 000000000001", "CurrentSerialNumber = 00000000000~",
       "is not a hexadecimal number"},
  };
  for (const Case& c : cases) {
    const std::string text = ExampleIniWith(c.from, c.to);
    WriteFileText(ini_, text);
    bench_.ClearLog();
    EXPECT_EQ(RunStepping(), 10) << c.to;
    const std::string output = Output();
    EXPECT_NE(output.find(c.message), std::string::npos) << output;
    EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty()) << c.to;
    EXPECT_EQ(ReadFileText(ini_), text) << c.to;
  }
}

// A failure at any driver request leaves the file untouched: eeprom_fault_sweep_test.cpp.

TEST_F(EepromStepping, SerialStepOfZeroStepsTheMacAlone) {
  const std::string text = ExampleIniWith("SerialNumberIncrement = 1", "SerialNumberIncrement = 0");
  WriteFileText(ini_, text);
  EXPECT_EQ(RunStepping(), 0);
  std::string expected = text;
  expected.replace(text.find("00:11:22:33:44:55"), 17, "00:11:22:33:44:56");
  EXPECT_EQ(ReadFileText(ini_), expected);
}

}  // namespace
