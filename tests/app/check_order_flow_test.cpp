// check_order_flow_test.cpp - a -w run from an INI file meets the checks the utility always made
// (the INI file's sections, exit code 9 or 12) before the refusals that keep one identity to one
// board (exit code 10), so a broken file is told as broken.
#include <sys/stat.h>

#include <algorithm>

#include "config/ini_test_support.h"
#include "nvm/eeprom_flow_support.h"
#include "support/file_faults.h"

namespace {

class CheckOrder : public EepromFlow {
 protected:
  const std::string ini_ = File("board.ini");
};

// With carriage returns alone the whole file is its first line, a comment: no section is read.
TEST_F(CheckOrder, IniFileWithoutItsSectionsIsToldBeforeTheStepIsTried) {
  std::string text = ExampleIniText();
  std::replace(text.begin(), text.end(), '\n', '\r');
  WriteFileText(ini_, text);
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string failure;
  };
  const Case cases[] = {
      {{"-w", "-i", ini_, "-s"}, 9, "ERROR: Validated ini file failed\n"},
      {{"-O", "-w", "-i", ini_, "-s", "-C", "YES"}, 12, "ERROR: Validatition of ini file failed\n"},
  };
  for (const Case& c : cases) {
    bench_.ClearLog();
    EXPECT_EQ(Run(c.arguments), c.exit_code);
    EXPECT_EQ(Output(), kAllMissing + c.failure);
    EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
    EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());
    EXPECT_EQ(ReadFileText(ini_), text);
  }
}

TEST_F(CheckOrder, IniFileTheRunMayNotWriteIsToldAfterItsSections) {
  std::string text = ExampleIniText();
  std::replace(text.begin(), text.end(), '\n', '\r');
  WriteFileText(ini_, text);
  ASSERT_EQ(chmod(ini_.c_str(), 0444), 0);
  int exit_code = 0;
  {
    const OrdinaryFileUser user;
    exit_code = Run({"-w", "-i", ini_, "-s"});
  }
  EXPECT_EQ(exit_code, 9);
  EXPECT_EQ(Output(), kAllMissing + std::string("ERROR: Validated ini file failed\n"));
}

// Switching the OTP off builds no image, so the file needs no other section.
TEST_F(CheckOrder, SwitchingTheOtpOffNeedsNoImageSections) {
  std::vector<uint8_t> lower(300, 0x5A);
  lower[0] = 0xF3;
  bench_.SetOtp(lower);
  WriteFileText(ini_, "[OtpConfig]\nOtpSignature = 0xDEAD\n");
  bench_.SetInput("Y");
  EXPECT_EQ(Run({"-O", "-w", "-i", ini_}), 0);
  EXPECT_EQ(Output(),
            "ERROR: The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!\n"
            "ERROR: Please confirm (Y/N)\n");
  EXPECT_EQ(bench_.Otp()[0], 0xFF);
}

}  // namespace
