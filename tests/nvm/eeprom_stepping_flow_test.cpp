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

TEST_F(EepromStepping, ValueAboveItsMaximumEndsWithCodeTenAndSavesNothing) {
  const std::string text = ExampleIniWith("MaximumMacAddress = 00:11:22:33:FF:FF",
                                          "MaximumMacAddress = 00:11:22:33:44:55");
  WriteFileText(ini_, text);
  EXPECT_EQ(RunStepping(), 10);
  EXPECT_NE(Output().find("Reach maximum MAC address\n"
                          "ERROR: Couldn't increase any Mac or serial number.\n"),
            std::string::npos);
  EXPECT_EQ(ReadFileText(ini_), text);
  EXPECT_EQ(bench_.Eeprom(), ImageOf(text));  // the board was programmed all the same
}

TEST_F(EepromStepping, FailureAtAnyRequestLeavesTheIniFileUntouched) {
  const std::string text = ExampleIniText();
  struct Case {
    uint32_t command;
    uint32_t skip;
    int exit_code;
    std::string output;
  };
  const Case cases[] = {
      {kCmdReadRegister, 0, 1, "ERROR: READ_REGISTER failed !    status:Access failed\n"},
      {kCmdE2pCommand, 0, 9,
       "ERROR: E2P_COMMAND failed!    status:Access failed\nFailed to program device eeprom\n"},
      {kCmdE2pWriteBlock, 0, 9,
       "ERROR: E2P_WRITE_BLOCK failed!    status:Access failed\n"
       "Failed to program device eeprom\n"},
      {kCmdE2pCommand, 1, 9,
       "ERROR: E2P_COMMAND failed!    status:Access failed\nFailed to program device eeprom\n"},
      {kCmdE2pReadBlock, 0, 9,
       "ERROR: E2P_READ_BLOCK failed!    status:Access failed\nFailed to read eeprom\n"
       "ERROR: Failed to verify device eeprom\n"},
  };
  for (const Case& c : cases) {
    bench_.FailStatus(c.command, 1, c.skip);
    EXPECT_EQ(RunStepping(), c.exit_code) << c.command << "/" << c.skip;
    EXPECT_EQ(Output(), c.output);
    EXPECT_EQ(ReadFileText(ini_), text) << c.command << "/" << c.skip;
  }
  // With the faults used up the same file programs the board and steps.
  EXPECT_EQ(RunStepping(), 0);
  EXPECT_NE(ReadFileText(ini_), text);
}

TEST_F(EepromStepping, SerialStepOfZeroStepsTheMacAlone) {
  const std::string text = ExampleIniWith("SerialNumberIncrement = 1", "SerialNumberIncrement = 0");
  WriteFileText(ini_, text);
  EXPECT_EQ(RunStepping(), 0);
  std::string expected = text;
  expected.replace(text.find("00:11:22:33:44:55"), 17, "00:11:22:33:44:56");
  EXPECT_EQ(ReadFileText(ini_), expected);
}

}  // namespace
