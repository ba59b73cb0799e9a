// otp_program_flow_test.cpp - -O -w from binary files: the check of the OTP's state, the operator's
// answer, the signature write before the body, the read-back, and the image sizes each half
// takes.
#include "nvm/otp_flow_support.h"

namespace {

TEST_F(OtpFlow, BlankOtpTakesAnF3FileFromOffsetZeroAndThenNoSecondImage) {
  const std::vector<uint8_t> image = LowerImage(300);
  const std::string path = File("lower.bin");
  WriteBytes(path, image);
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), 0);
  EXPECT_EQ(Output(),
            std::string(kPromptLower) + "The current device OTP was programmed with 300 bytes\n");
  EXPECT_EQ(bench_.Otp(), OtpAfter({}, {{0, image}}));
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpWriteBlock)), (std::vector<OtpBlock>{{0, 1}, {1, 299}}));
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpReadBlock)),
            (std::vector<OtpBlock>{{0, 512}, {0, 1}, {1, 299}}));

  // The stored tables end the image at 300, beyond the lower half: nothing more fits.
  WriteBytes(path, UpperFile(20));
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), -1);
  EXPECT_EQ(Output(), "OTP already using 300 bytes. Cannot write OTP\n");
  EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());
}

TEST_F(OtpFlow, LowerImageEndingAt240LeavesTheUpperHalfFor256Bytes) {
  const std::vector<uint8_t> lower = LowerImage(240);
  bench_.SetOtp(lower);
  const std::string path = File("upper.bin");

  WriteBytes(path, UpperFile(257));
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), 12);
  EXPECT_EQ(Output(), "ERROR: The size of binary image is greater than available OTP size\n");

  WriteBytes(path, LowerImage(200));
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), 12);
  EXPECT_EQ(Output(),
            "ERROR: Upper 256 bytes of OTP is empty and the Signature byte should be 0xF7\n"
            "ERROR: OTP Binary image validation failed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());

  const std::vector<uint8_t> file = UpperFile(256);
  ASSERT_EQ(file.size(), 512u);
  WriteBytes(path, file);
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), 0);
  EXPECT_EQ(Output(),
            std::string(kPromptUpper) + "The current device OTP was programmed with 256 bytes\n");
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpWriteBlock)),
            (std::vector<OtpBlock>{{0, 1}, {0x101, 255}}));
  const std::vector<uint8_t> body(file.begin() + 0x101, file.end());
  EXPECT_EQ(bench_.Otp(), OtpAfter(lower, {{0, {0xF7}}, {0x101, body}}));
}

TEST_F(OtpFlow, SignatureAloneIsWrittenWithoutEmptyRequests) {
  bench_.SetOtp(LowerImage(240));
  const std::string path = File("signature.bin");
  WriteBytes(path, {0xF7, 0, 0, 0});  // shorter than 0x102 bytes: no body
  EXPECT_EQ(RunWith("", {"-O", "-w", "-b", path, "-C", "YES"}), 0);
  EXPECT_EQ(Output(), "The current device OTP was programmed with 1 bytes\n");
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpWriteBlock)), (std::vector<OtpBlock>{{0, 1}}));
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpReadBlock)), (std::vector<OtpBlock>{{0, 512}, {0, 1}}));
  EXPECT_EQ(bench_.Otp()[0], 0xF3 | 0xF7);
}

TEST_F(OtpFlow, OnlyYesAtThePromptWrites) {
  const std::string path = File("lower.bin");
  WriteBytes(path, LowerImage(200));
  struct Case {
    std::string input;
    std::vector<std::string> extra;
    bool written;
    std::string prompt;
  };
  const Case cases[] = {
      {"n", {}, false, kPromptLower},  {"", {}, false, kPromptLower},
      {"\n", {}, false, kPromptLower}, {"yes", {"-C", "yes"}, true, kPromptLower},
      {"Y", {}, true, kPromptLower},   {"", {"-C", "YES"}, true, ""},
  };
  for (const Case& c : cases) {
    bench_.SetOtp({});
    std::vector<std::string> arguments = {"-O", "-w", "-b", path};
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
    const int exit_code = RunWith(c.input, arguments);
    const std::string after =
        c.written ? "The current device OTP was programmed with 200 bytes\n" : "Exiting.\n";
    EXPECT_EQ(exit_code, c.written ? 0 : 12) << c.input;
    EXPECT_EQ(Output(), c.prompt + after) << c.input;
    EXPECT_EQ(bench_.LogOf(kCmdOtpWriteBlock).size(), c.written ? 2u : 0u) << c.input;
  }
}

TEST_F(OtpFlow, BadImageFilesAreRefusedBeforeAnyWrite) {
  const std::string path = File("image.bin");
  struct Case {
    std::string contents;
    bool exists;
    std::string output;
  };
  const Case cases[] = {
      {"", false, "ERROR: No file " + path + " was found\n"},
      {"", true, "ERROR: Error reading signature (first byte) from binary file\n"},
      {"\xA5 eeprom image", true, "ERROR: Invalid signature a5 in the binary file\n"},
      {"\xF7 upper", true,
       "ERROR: OTP is empty and the Signature byte should be 0xF3\n"
       "ERROR: OTP Binary image validation failed\n"},
  };
  for (const Case& c : cases) {
    std::remove(path.c_str());
    if (c.exists) WriteFileText(path, c.contents);
    EXPECT_EQ(RunWith("y", {"-O", "-w", "-b", path}), 12) << c.output;
    EXPECT_EQ(Output(), c.output);
    EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());
  }
}

// A write cut off after the signature and part of the body is finished by the same image, and
// the whole image again is a harmless rewrite; an OTP finished with another image is judged as the
// next write it is, even where the two differ only in a byte that the stored image has as zero.
TEST_F(OtpFlow, OnlyTheImageAWriteWasCutOffFromCompletesIt) {
  std::vector<uint8_t> image = LowerImage(200);
  image[1] = 0x00;  // the MAC address starts 00:
  const std::string path = File("lower.bin");
  WriteBytes(path, image);
  const std::vector<uint8_t> body(image.begin() + 1, image.begin() + 100);
  bench_.SetOtp(OtpAfter({}, {{0, {0xF3}}, {1, body}}));
  const std::string completed =
      "The OTP holds the beginning of this image: it is written again to complete it\n"
      "The current device OTP was programmed with 200 bytes\n";
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(RunWith("", {"-O", "-w", "-b", path, "-C", "YES"}), 0);
    EXPECT_EQ(Output(), completed);
    EXPECT_EQ(bench_.Otp(), OtpAfter({}, {{0, image}}));
  }

  std::vector<uint8_t> other = image;
  other[1] = 0x02;
  WriteBytes(path, other);
  EXPECT_EQ(RunWith("", {"-O", "-w", "-b", path, "-C", "YES"}), 12);
  EXPECT_EQ(Output(),
            "ERROR: Upper 256 bytes of OTP is empty and the Signature byte should be 0xF7\n"
            "ERROR: OTP Binary image validation failed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());
  EXPECT_EQ(bench_.Otp(), OtpAfter({}, {{0, image}}));
}

// An INI file that asks for the OTP to be switched off does not turn a file image into a
// switch-off: the file is judged as the write it is.
TEST_F(OtpFlow, FileImageIsNeverWrittenOverAFullOtp) {
  bench_.SetOtp({0xF7, 1, 2, 3});
  const std::string ini = File("dead.ini");
  WriteFileText(ini, ExampleIniText() + "[OtpConfig]\nOtpSignature = 0xDEAD\n");
  const std::string path = File("lower.bin");
  WriteBytes(path, LowerImage(200));
  EXPECT_EQ(RunWith("Y", {"-O", "-w", "-b", path, "-i", ini}), 13);
  EXPECT_EQ(Output(), "ERROR: Device OTP full (Signature 0xF7), cannot write OTP\n");
  EXPECT_TRUE(bench_.LogOf(kCmdOtpWriteBlock).empty());
}

}  // namespace
