// otp_state_e2e_test.cpp - what `show` says of the OTP: its signature and what its next write may
// be, after the OTP was loaded with `load otp`.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

TEST(EmuOtpState, ShowStatesTheSignatureAndTheNextWrite) {
  TempDir dir;
  const std::string emu_dir = dir.path().string();
  ASSERT_EQ(RunEmuTool(emu_dir, "create").exit_code, 0);
  // A lower image whose last table entry, the serial string (0x29, 0x2A), ends it at N.
  auto lower = [](int word, int length) {
    std::string otp(512, '\0');
    otp[0] = '\xF3';
    otp[0x25] = 10;  // an earlier string with a smaller offset
    otp[0x26] = 96;
    otp[0x29] = static_cast<char>(length);
    otp[0x2A] = static_cast<char>(word);
    return otp;
  };
  struct Case {
    std::string otp;
    std::string line;
  };
  const Case cases[] = {
      {"", "0x00, blank, next image from 0"},
      {lower(110, 20), "0xF3, lower image ends at 240, next image from 0x101"},
      {lower(118, 20), "0xF3, lower image ends at 256, next image from 0x101"},
      {lower(118, 22), "0xF3, lower image ends at 258, no further image"},
      {"\xF7", "0xF7, full"},
      {"\xFF", "0xFF, off"},
      {"\x5A", "0x5A, invalid"},
  };
  const std::string path = dir.File("otp.bin");
  for (const Case& c : cases) {
    WriteFileText(path, c.otp);
    ASSERT_EQ(RunEmuTool(emu_dir, "load otp '" + path + "'").exit_code, 0);
    const std::string shown = RunEmuTool(emu_dir, "show").output;
    EXPECT_NE(shown.find("  otp            " + c.line + "\n"), std::string::npos) << shown;
    const std::string dumped = RunEmuTool(emu_dir, "dump otp").output;
    std::string expected = c.otp;
    expected.resize(512, '\0');
    EXPECT_EQ(dumped, expected);
  }
}

}  // namespace
