// otp_read_flow_test.cpp - -O -r: the 512 OTP bytes saved to the named or the default file, which
// afterwards holds exactly those bytes.
#include <filesystem>

#include "nvm/otp_flow_support.h"
#include "support/file_faults.h"

namespace {

TEST_F(OtpFlow, ReadSavesTheWholeOtpOverALongerFile) {
  const std::vector<uint8_t> otp =
      OtpAfter(LowerImage(240), {{0, {0xF7}}, {0x101, std::vector<uint8_t>(29, 0x5C)}});
  bench_.SetOtp(otp);
  const std::string path = File("otp.bin");
  WriteFileText(path, std::string(600, 'z'));
  EXPECT_EQ(RunWith("", {"-O", "-r", "-b", path}), 0);
  EXPECT_EQ(Output(), "Saved OTP content to the file " + path + " under current folder\n");
  EXPECT_EQ(Bytes(ReadFileText(path)), otp);
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpReadBlock)), (std::vector<OtpBlock>{{0, 512}}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work_.path()), {}), 1);
}

TEST_F(OtpFlow, ReadWithoutANameSavesUnderTheChipName) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(work_.path());
  const int exit_code = RunWith("", {"-O", "-r"});
  // A folder where the default file would go: nothing can be saved there.
  std::filesystem::create_directory("qnt5231-otp.bin.d");
  std::filesystem::rename("qnt5231-otp.bin", "saved.bin");
  std::filesystem::rename("qnt5231-otp.bin.d", "qnt5231-otp.bin");
  const int blocked = RunWith("", {"-O", "-r"});
  std::filesystem::current_path(before);

  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(ReadFileText(File("saved.bin")), std::string(512, '\0'));
  EXPECT_EQ(blocked, 11);
  EXPECT_EQ(Output(), "ERROR: ERROR::Failed to create/open qnt5231-otp.bin\n");
}

TEST_F(OtpFlow, ReadFailuresEndWithTheirCodes) {
  const std::string missing = File("missing-folder/otp.bin");
  EXPECT_EQ(RunWith("", {"-O", "-r", "-b", missing}), 5);
  EXPECT_EQ(Output(), "ERROR: ERROR::Failed to create/open " + missing + "\n");

  const std::string path = File("otp.bin");
  WriteFileText(path, "old");
  {
    const FileSizeLimit limit(400);  // the 512 bytes cannot be written out
    EXPECT_EQ(RunWith("", {"-O", "-r", "-b", path}), 11);
  }
  EXPECT_EQ(Output(), "ERROR: ERROR::WriteFile Failed\n");
  EXPECT_EQ(ReadFileText(path), "old");

  bench_.FailStatus(kCmdOtpReadBlock, 2);
  std::filesystem::remove(path);
  EXPECT_EQ(RunWith("", {"-O", "-r", "-b", path}), 11);
  EXPECT_EQ(Output(), "ERROR: OTP_READ_BLOCK failed! status:Adapter Busy\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
