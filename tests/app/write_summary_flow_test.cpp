// write_summary_flow_test.cpp - the line after every write that names what went on the board, the
// same facts before the OTP's question, and what a file that is no image is said to be.
#include <cstdio>
#include <string>
#include <vector>

#include "nvm/otp_flow_support.h"

namespace {

// CRC-32 of IEEE 802.3, bit by bit, as the standard defines it; in the line's hex spelling.
std::string Crc32Text(const std::vector<uint8_t>& bytes, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", ~crc);
  return text;
}

class WriteSummary : public OtpFlow {
 protected:
  std::string Diagnostics() { return bench_.console().TakeDiagnostics(); }
  std::string Output() { return AfterBanner(bench_.TakeOutput()); }
};

TEST_F(WriteSummary, EepromWriteNamesItsIdentityAfterTheUsualLines) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  EXPECT_EQ(Run({"-w", "-i", ini, "-s"}), 0);
  int32_t length = 0;
  ImageOf(ExampleIniText(), &length);
  const std::string bytes = std::to_string(length);
  // examples/board.ini hands out 00:11:22:33:44:55 and 000000000001 first.
  EXPECT_TRUE(Output().ends_with(
      "The current device EEPROM was programmed with " + bytes +
      " bytes\nUpdated ini file\nProgrammed: adapter 0 (qnt5231) EEPROM, MAC address "
      "00:11:22:33:44:55, serial number 000000000001, " +
      bytes + " bytes, CRC-32 " + Crc32Text(bench_.Eeprom(), static_cast<size_t>(length)) + "\n"));
}

// Any file is programmed as it is, and said to be what it is.
TEST_F(WriteSummary, AFileThatIsNoImageIsProgrammedAndNamed) {
  const std::string junk = File("junk.bin");
  for (const size_t size : {100, 300}) {
    WriteFileText(junk, std::string(size, '<'));
    Diagnostics();
    EXPECT_EQ(Run({"-w", "-b", junk}), 0);
    EXPECT_EQ(bench_.Eeprom()[size - 1], '<');
    const std::string count = std::to_string(size);
    EXPECT_TRUE(Output().ends_with("Programmed: adapter 0 (qnt5231) EEPROM, no identity, " + count +
                                   " bytes, CRC-32 " + Crc32Text(bench_.Eeprom(), size) + "\n"));
    const std::string found = size < 192 ? count + " bytes, fewer than the 192 of an image's head"
                                         : "its first byte is 0x3C, not the signature 0xA5";
    EXPECT_EQ(Diagnostics(), junk + ": no EEPROM image of this family: " + found + "; its " +
                                 count + " bytes are programmed as they are\n");
  }
  // An image of the family passes without a word.
  WriteBytes(junk, ImageOf(ExampleIniText()));
  EXPECT_EQ(Run({"-w", "-b", junk}), 0);
  EXPECT_EQ(Diagnostics(), "");
}

TEST_F(WriteSummary, OtpQuestionSaysWhatWillBeBurned) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  EXPECT_EQ(RunWith("y", {"-O", "-w", "-i", ini}), 0);
  const std::string output = Output();
  const std::string programmed = "The current device OTP was programmed with ";
  const size_t at = output.find(programmed);
  ASSERT_NE(at, std::string::npos);
  const int length = std::stoi(output.substr(at + programmed.size()));
  const std::string facts =
      "adapter 0 (qnt5231) OTP, MAC address 00:11:22:33:44:55, serial "
      "number 000000000001, " +
      std::to_string(length) + " bytes, CRC-32 " +
      Crc32Text(bench_.Otp(), static_cast<size_t>(length));
  EXPECT_NE(output.find("To be burned: " + facts + "\n" + kPromptLower), std::string::npos);
  EXPECT_TRUE(output.ends_with(" bytes\nProgrammed: " + facts + "\n")) << output;
}

}  // namespace
