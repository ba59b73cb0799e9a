// otp_state_matrix_e2e_test.cpp - every OTP state against every kind of image: what the run prints,
// its exit code and the 512 OTP bytes afterwards, on an emulated adapter. The images are the
// generated files of the board (checked field by field in otp_generate_e2e_test.cpp) and the same
// board's INI file; the OTP contents expected are laid out here by the OTP's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/otp_board.h"
#include "support/after_banner.h"
#include "support/temp_dir.h"

namespace {

enum State { kBlank, kLowerEndsAt240, kLowerEndsAt300, kFull, kOther, kOff };
enum Source { kF3File, kF7File, kIniNoSignature, kIniF3, kIniF7, kIniDead };

// A lower image whose offset tables end it at |end|: one string pair (end - 192, word 96).
std::vector<uint8_t> LowerImage(int end) {
  std::vector<uint8_t> otp(512, 0);
  for (int i = 1; i < end; ++i) otp[i] = static_cast<uint8_t>(i * 29 + 1);
  otp[0] = 0xF3;
  for (int table = 0x25; table < 0x47; ++table) otp[table] = 0;
  otp[0x25] = static_cast<uint8_t>(end - 192);
  otp[0x26] = 96;
  return otp;
}

std::vector<uint8_t> OtpIn(State state) {
  std::vector<uint8_t> otp(512, 0);
  switch (state) {
    case kBlank:
      break;
    case kLowerEndsAt240:
      return LowerImage(240);
    case kLowerEndsAt300:
      return LowerImage(300);
    case kFull:
      otp = LowerImage(200);
      otp[0] = 0xF7;
      otp[0x101] = 0x42;
      break;
    case kOther:
      otp[0] = 0x5A;
      break;
    case kOff:
      otp = LowerImage(240);
      otp[0] = 0xFF;
      break;
  }
  return otp;
}

class OtpStateMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunEmuTool(emu_.path().string(), "create --chip QNT5231").exit_code, 0);
    WriteFileText(work_.File("board.ini"), OtpBoardIni());
    WriteFileText(work_.File("f3.ini"), OtpBoardIni("0xF3"));
    WriteFileText(work_.File("f7.ini"), OtpBoardIni("0xF7"));
    WriteFileText(work_.File("dead.ini"), OtpBoardIni("0xDEAD"));
    ASSERT_EQ(Utility("-O -i f3.ini -o f3.bin -d QNT5231").exit_code, 0);
    ASSERT_EQ(Utility("-O -i f7.ini -o f7.bin -d QNT5231").exit_code, 0);
    lower_image_ = BytesOf(ReadFileText(work_.File("f3.bin")));
    const std::vector<uint8_t> f7 = BytesOf(ReadFileText(work_.File("f7.bin")));
    upper_image_ = {f7[0]};
    upper_image_.insert(upper_image_.end(), f7.begin() + 0x101, f7.end());
  }

  ProgramRun Utility(const std::string& arguments, const std::string& input = "") {
    ProgramRun run = RunUtility(emu_.path().string(), arguments, work_.path().string(), input);
    run.output = MaskBuildLine(run.output);
    return run;
  }

  // The OTP after a write of |image| over |otp|: bits only go on; the body lands after the
  // signature, or from 0x101 for an upper-half image.
  static std::vector<uint8_t> Written(std::vector<uint8_t> otp, const std::vector<uint8_t>& image) {
    const size_t base = image[0] == 0xF7 ? 0x101 : 1;
    otp[0] |= image[0];
    for (size_t i = 1; i < image.size(); ++i) otp[base + i - 1] |= image[i];
    return otp;
  }

  TempDir emu_;
  TempDir work_;
  std::vector<uint8_t> lower_image_;
  std::vector<uint8_t> upper_image_;
};

const char* kArguments[] = {
    "-O -w -b f3.bin", "-O -w -b f7.bin", "-O -w -i board.ini",
    "-O -w -i f3.ini", "-O -w -i f7.ini", "-O -w -i dead.ini",
};

TEST_F(OtpStateMatrix, EveryStateMeetsEveryImageAsTheRulesSay) {
  const std::string lower_done =
      "WARNING: OTP will be written from offset 0, Please confirm (y/n): "
      "The current device OTP was programmed with 252 bytes\n";
  const std::string upper_done =
      "WARNING: OTP will be written to offset 0x101, Please confirm (y/n): "
      "The current device OTP was programmed with 252 bytes\n";
  const std::string switched_off =
      "ERROR: The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!\n"
      "ERROR: Please confirm (Y/N)\n";
  const std::string file_refused = "ERROR: OTP Binary image validation failed\n";
  const std::string no_room = "OTP already using 300 bytes. Cannot write OTP\n";
  const std::string full = "ERROR: Device OTP full (Signature 0xF7), cannot write OTP\n";

  struct Cell {
    State state;
    Source source;
    int exit_code;  // as the shell sees it
    std::string output;
    enum { kUnchanged, kLower, kUpper, kOffByte } result;
  };
  const Cell cells[] = {
      {kBlank, kF3File, 0, lower_done, Cell::kLower},
      {kBlank, kF7File, 12,
       "ERROR: OTP is empty and the Signature byte should be 0xF3\n" + file_refused,
       Cell::kUnchanged},
      {kBlank, kIniNoSignature, 0, lower_done, Cell::kLower},
      {kBlank, kIniF3, 0, lower_done, Cell::kLower},
      {kBlank, kIniF7, 0,
       "ERROR: OTP empty, The Signature provided through ini file is 0xF7 hence skipping first "
       "256 bytes\n" +
           upper_done,
       Cell::kUpper},
      {kBlank, kIniDead, 12,
       "ERROR: Signature ( 0 )found in OTP is 0, Hence device is not using OTP. No need to write "
       "0xFF\n",
       Cell::kUnchanged},

      {kLowerEndsAt240, kF3File, 12,
       "ERROR: Upper 256 bytes of OTP is empty and the Signature byte should be 0xF7\n" +
           file_refused,
       Cell::kUnchanged},
      {kLowerEndsAt240, kF7File, 0, upper_done, Cell::kUpper},
      {kLowerEndsAt240, kIniNoSignature, 0, upper_done, Cell::kUpper},
      {kLowerEndsAt240, kIniF3, 12,
       "ERROR: OTP Signature provided through ini file is 0xF3 but OTP is not empty\n"
       "ERROR: Validation of OTP settings failed\n",
       Cell::kUnchanged},
      {kLowerEndsAt240, kIniF7, 0, upper_done, Cell::kUpper},
      {kLowerEndsAt240, kIniDead, 0, switched_off, Cell::kOffByte},

      {kLowerEndsAt300, kF3File, 255, no_room, Cell::kUnchanged},
      {kLowerEndsAt300, kF7File, 255, no_room, Cell::kUnchanged},
      {kLowerEndsAt300, kIniNoSignature, 255, no_room, Cell::kUnchanged},
      {kLowerEndsAt300, kIniF3, 255, no_room, Cell::kUnchanged},
      {kLowerEndsAt300, kIniF7, 255, no_room, Cell::kUnchanged},
      {kLowerEndsAt300, kIniDead, 0, switched_off, Cell::kOffByte},

      {kFull, kF3File, 13, full, Cell::kUnchanged},
      {kFull, kF7File, 13, full, Cell::kUnchanged},
      {kFull, kIniNoSignature, 13, full, Cell::kUnchanged},
      {kFull, kIniF3, 13, full, Cell::kUnchanged},
      {kFull, kIniF7, 13, full, Cell::kUnchanged},
      {kFull, kIniDead, 0, switched_off, Cell::kOffByte},
  };
  std::vector<Cell> all(std::begin(cells), std::end(cells));
  // Any other signature, 0xFF included, takes no image but is switched off again.
  for (const auto& [state, text] : {std::pair{kOther, "5a"}, std::pair{kOff, "ff"}}) {
    for (Source source : {kF3File, kF7File, kIniNoSignature, kIniF3, kIniF7}) {
      all.push_back(
          {state, source, 12,
           std::string("ERROR: Invalid Signature ( ") + text + " )found in OTP, cannot write OTP\n",
           Cell::kUnchanged});
    }
    all.push_back({state, kIniDead, 0, switched_off, Cell::kOffByte});
  }

  const std::string banner = BannerText();
  const std::string otp_file = work_.File("otp-in.bin");
  for (const Cell& cell : all) {
    const std::string where = std::string(kArguments[cell.source]) + " on state " +
                              std::to_string(static_cast<int>(cell.state));
    const std::vector<uint8_t> before = OtpIn(cell.state);
    WriteFileText(otp_file, std::string(before.begin(), before.end()));
    ASSERT_EQ(RunEmuTool(emu_.path().string(), "load otp '" + otp_file + "'").exit_code, 0);

    const ProgramRun run = Utility(kArguments[cell.source], "Y");
    EXPECT_EQ(run.exit_code, cell.exit_code) << where;
    // The lines that name the write are held by the write's own tests.
    EXPECT_EQ(WithoutWriteSummary(run.output), banner + cell.output) << where;

    std::vector<uint8_t> expected = before;
    if (cell.result == Cell::kLower) expected = Written(before, lower_image_);
    if (cell.result == Cell::kUpper) expected = Written(before, upper_image_);
    if (cell.result == Cell::kOffByte) expected[0] = 0xFF;
    EXPECT_EQ(BytesOf(RunEmuTool(emu_.path().string(), "dump otp").output), expected) << where;
  }
}

}  // namespace
