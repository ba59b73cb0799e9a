// otp_generate_e2e_test.cpp - offline generation of OTP image files (-O -i -o -d): the 0xF3 form is
// the EEPROM image with its own signature, the 0xF7 form carries the upper-half bias and puts
// the body at 0x101; refusals leave an existing file alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/otp_board.h"
#include "support/temp_dir.h"

namespace {

class OtpGenerate : public ::testing::Test {
 protected:
  ProgramRun Run(const std::string& ini_text, const std::string& options) {
    WriteFileText(work_.File("board.ini"), ini_text);
    ProgramRun run = RunUtility(emu_.path().string(), "-i board.ini -d QNT5230 " + options,
                                work_.path().string());
    run.output = MaskBuildLine(run.output).substr(banner_.size());
    return run;
  }
  std::vector<uint8_t> File(const std::string& name) {
    return BytesOf(ReadFileText(work_.File(name)));
  }
  // The EEPROM image of the same board, whose layout the OTP image shares.
  std::vector<uint8_t> EepromImage(const std::string& ini_text) {
    EXPECT_EQ(Run(ini_text, "-o eeprom.bin").exit_code, 0);
    return File("eeprom.bin");
  }

  const std::string banner_ = BannerText();
  TempDir emu_;  // no adapters: nothing may be opened
  TempDir work_;
};

// The string descriptor of |text| as the layout stores it.
std::vector<uint8_t> Descriptor(const std::string& text) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(2 * text.size() + 2), 0x03};
  for (char c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
  return bytes;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t at, size_t count) {
  return {bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + count)};
}

// Offsets of the image's stored word offsets: five string pairs, seven descriptor pairs.
constexpr size_t kStringTable = 0x25;
constexpr size_t kDescriptorTable = 0x2F;
const std::vector<uint8_t> kDescriptorWords = {0x31, 0x3C, 0x45, 0x4E, 0x57, 0x4E, 0x57};

// Manufacturer "Example Networks" (34 bytes) at word 96, no product string, serial
// "000000000001" (26 bytes) at word 113.
void ExpectBoardFields(const std::vector<uint8_t>& image, uint8_t signature, uint8_t bias) {
  ASSERT_EQ(image.size(), static_cast<size_t>(kOtpBoardImageLength));
  EXPECT_EQ(image[0], signature);
  EXPECT_EQ(Slice(image, 1, 6), (std::vector<uint8_t>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
  EXPECT_EQ(Slice(image, kStringTable, 10),
            (std::vector<uint8_t>{34, static_cast<uint8_t>(96 + bias), 0, 0, 26,
                                  static_cast<uint8_t>(113 + bias), 0, 0, 0, 0}));
  for (size_t i = 0; i < kDescriptorWords.size(); ++i) {
    EXPECT_EQ(image[kDescriptorTable + 2 * i + 1], kDescriptorWords[i] + bias) << i;
  }
  EXPECT_EQ(Slice(image, 0x3D, 6), std::vector<uint8_t>(6, 0));  // no optional blocks
  EXPECT_EQ(Slice(image, 192, 34), Descriptor("Example Networks"));
  EXPECT_EQ(Slice(image, 226, 26), Descriptor("000000000001"));
}

TEST_F(OtpGenerate, LowerHalfFileIsTheEepromImageWithItsSignature) {
  const std::vector<uint8_t> eeprom = EepromImage(OtpBoardIni());
  for (const char* signature : {"", "0xF3"}) {
    const ProgramRun run = Run(OtpBoardIni(signature), "-O -o otp.bin");
    EXPECT_EQ(run.exit_code, 0) << signature;
    EXPECT_EQ(run.output,
              "Binary OTP file otp.bin generated (first byte: 0xF3), file size: 252 bytes\n");
    const std::vector<uint8_t> image = File("otp.bin");
    ExpectBoardFields(image, 0xF3, 0);
    EXPECT_EQ(Slice(image, 1, image.size() - 1), Slice(eeprom, 1, eeprom.size() - 1));
  }
}

TEST_F(OtpGenerate, UpperHalfFileCarriesTheBiasAndItsBodyFrom0x101) {
  std::vector<uint8_t> expected = EepromImage(OtpBoardIni());
  const ProgramRun run = Run(OtpBoardIni("0xF7"), "-O -o otp.bin");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output,
            "Binary OTP file otp.bin generated (first byte: 0xF7), file size: 508 bytes\n");
  const std::vector<uint8_t> file = File("otp.bin");
  ASSERT_EQ(file.size(), 508u);
  EXPECT_EQ(file[0], 0xF7);
  EXPECT_EQ(Slice(file, 1, 0x100), std::vector<uint8_t>(0x100, 0));
  std::vector<uint8_t> image = {0xF7};
  image.insert(image.end(), file.begin() + 0x101, file.end());
  ExpectBoardFields(image, 0xF7, 0x80);

  // Everything but the signature and the nonzero stored offsets is the EEPROM layout.
  expected[0] = 0xF7;
  for (size_t pair = kStringTable; pair < 0x3D; pair += 2) {
    if (expected[pair] != 0) expected[pair + 1] += 0x80;
  }
  EXPECT_EQ(image, expected);
}

TEST_F(OtpGenerate, UpperHalfImageOf256BytesFillsTheFileAndOneMoreIsRefused) {
  const std::string board = OtpBoardIni("0xF7");
  std::string longer = board;
  longer.replace(longer.find("Example Networks"), 16, "Example Networks12");
  ProgramRun run = Run(longer, "-O -o otp.bin");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output,
            "Binary OTP file otp.bin generated (first byte: 0xF7), file size: 512 bytes\n");
  EXPECT_EQ(File("otp.bin").size(), 512u);

  // 258 bytes: refused before the file is touched.
  longer = board;
  longer.replace(longer.find("Example Networks"), 16, "Example Networks123");
  run = Run(longer, "-O -o otp.bin");
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output, "Binary OTP image file size is greater than Max OTP (512 bytes) size\n");
  EXPECT_EQ(File("otp.bin").size(), 512u);
  run = Run(longer, "-O -o absent.bin");
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_FALSE(std::filesystem::exists(work_.File("absent.bin")));
}

TEST_F(OtpGenerate, SwitchOffSignatureMakesNoImage) {
  WriteFileText(work_.File("otp.bin"), "kept");
  for (const char* name : {"otp.bin", "absent.bin"}) {
    const ProgramRun run = Run(OtpBoardIni("0xDEAD"), std::string("-O -o ") + name);
    EXPECT_EQ(run.exit_code, 9);
    EXPECT_EQ(run.output,
              "ERROR: OtpSignature 0xDEAD switches the OTP off and makes no image; use 0xF3 or "
              "0xF7 for an image file\n");
  }
  EXPECT_EQ(ReadFileText(work_.File("otp.bin")), "kept");
  EXPECT_FALSE(std::filesystem::exists(work_.File("absent.bin")));
}

TEST_F(OtpGenerate, FailuresEndWithTheirCodes) {
  ProgramRun run = Run(OtpExampleWith("SSMaxPower = 896", "SSMaxPower = 904"), "-O -o otp.bin");
  EXPECT_EQ(run.exit_code, 9);
  EXPECT_EQ(run.output, "ERROR: SSMaxPower exceed 896mA\nERROR: Generating OTP image failed\n");
  EXPECT_FALSE(std::filesystem::exists(work_.File("otp.bin")));

  run = Run(OtpBoardIni(), "-O -o missing/otp.bin");
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output, "ERROR: Couldn't create file missing/otp.bin\n");

  run = Run(OtpBoardIni(), "-O -o ./board.ini");
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output,
            "ERROR: The image file ./board.ini is the ini file board.ini; nothing was written\n");
  EXPECT_EQ(ReadFileText(work_.File("board.ini")), OtpBoardIni());
}

}  // namespace
