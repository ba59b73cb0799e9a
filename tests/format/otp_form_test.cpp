// otp_form_test.cpp - the OTP's file forms, and where a stored lower image ends, judged from its
// offset tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "format/otp_form.h"

namespace {

TEST(StoredImageEnd, GreatestWordOffsetWinsAndTheFirstOfEqualsKeepsIt) {
  uint8_t otp[512] = {};
  otp[0x25] = 34;  // manufacturer string at word 96
  otp[0x26] = 96;
  otp[0x29] = 26;  // serial number at word 113: the last structure
  otp[0x2A] = 113;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 113 + 26);

  // The block table is judged before the string table: of two entries at the same word, the
  // block's length counts.
  otp[0x3D] = 20;
  otp[0x3E] = 113;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 113 + 20);

  otp[0x2F] = 0x16;  // the descriptor table, judged last, may point furthest
  otp[0x30] = 200;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 200 + 0x16);
}

// A 200-byte upper-half image: its file holds the signature, 0x100 zero bytes, then image bytes
// 1 to 199 from offset 0x101, 456 bytes in all; read back, it is the same image.
TEST(OtpFileForm, UpperHalfImageSkipsTheLowerHalfAndComesBackWhole) {
  std::vector<uint8_t> image(200);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
  image[0] = 0xF7;
  uint8_t file[512];
  ASSERT_EQ(OtpFileOfImage(image.data(), 200, file), 456);
  EXPECT_EQ(file[0], 0xF7);
  EXPECT_EQ(std::vector<uint8_t>(file + 1, file + 0x101), std::vector<uint8_t>(0x100, 0));
  EXPECT_EQ(std::vector<uint8_t>(file + 0x101, file + 456),
            std::vector<uint8_t>(image.begin() + 1, image.end()));

  file[5] = 0x55;  // the gap is ignored when read
  std::vector<uint8_t> back(530);
  back.resize(ImageOfFile(file, 456, back.data(), back.size()));
  EXPECT_EQ(back, image);
}

}  // namespace
