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
