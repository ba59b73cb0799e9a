// otp_space_test.cpp - whether the upper half is free for a second image, judged from where the
// stored lower image ends; and which OTP contents an interrupted write of an image can leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "nvm/otp_space.h"
#include "support/capture_console.h"
#include "support/scripted_device.h"

namespace {

// An OTP holding a lower-half image whose one string descriptor, from word 96, ends it at |end|.
std::vector<uint8_t> LowerHalfOtp(int end) {
  std::vector<uint8_t> otp(512, 0);
  otp[0] = 0xF3;
  otp[0x25] = static_cast<uint8_t>(end - 192);
  otp[0x26] = 96;
  return otp;
}

class OtpSpace : public ::testing::Test {
 protected:
  OtpResult Check(const std::vector<uint8_t>& otp) {
    device_.Expect(ExpectedRequest(emu::kOtpConfigure).Parameter(emu::kOtpOpenForRead).Length(17));
    device_.Expect(ExpectedRequest(emu::kOtpReadBlock).Position(0, 512), {.data = otp});
    device_.Expect(ExpectedRequest(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Length(17));
    return CheckOtpSpace(driver_, job_);
  }

  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
  OtpJob job_;
};

TEST_F(OtpSpace, UpperHalfIsFreeExactlyWhenTheLowerImageEndsWithin256Bytes) {
  EXPECT_EQ(Check(LowerHalfOtp(256)), OtpResult::kOk);
  EXPECT_EQ(job_.used_bytes, 256);
  EXPECT_EQ(console_.TakeOutput(), "");

  EXPECT_EQ(Check(LowerHalfOtp(257)), OtpResult::kNoRoom);
  EXPECT_EQ(job_.used_bytes, 0);
  EXPECT_EQ(console_.TakeOutput(), "OTP already using 257 bytes. Cannot write OTP\n");
}

// What an interrupted write can leave of |image|: the signature, then the first |written| body
// bytes in their places, the rest of the body's place blank.
std::vector<uint8_t> OtpWithBeginningOf(const std::vector<uint8_t>& image, size_t written,
                                        std::vector<uint8_t> otp = std::vector<uint8_t>(512, 0)) {
  const size_t base = image[0] == 0xF7 ? 0x101 : 1;
  otp[0] = image[0];
  for (size_t i = 1; i <= written; ++i) otp[base + i - 1] = image[i];
  return otp;
}

// A lower-half image with MAC address 00:11:22:33:44:00 in bytes 1 to 6.
std::vector<uint8_t> ImageWithMac() {
  std::vector<uint8_t> image(120);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
  image[0] = 0xF3;
  const uint8_t mac[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x00};
  std::copy(std::begin(mac), std::end(mac), image.begin() + 1);
  image[40] = 0;  // a zero inside the image is written as a zero
  return image;
}

bool HoldsBeginning(const std::vector<uint8_t>& otp, const std::vector<uint8_t>& image) {
  return OtpHoldsBeginningOf(otp.data(), 512, image.data(), static_cast<int32_t>(image.size()));
}

TEST(OtpHoldsBeginningOf, AnyPrefixOfTheImageWithTheRestBlankIsItsBeginning) {
  const std::vector<uint8_t> image = ImageWithMac();
  for (size_t written = 0; written < image.size(); ++written) {
    EXPECT_TRUE(HoldsBeginning(OtpWithBeginningOf(image, written), image)) << written;
  }
  std::vector<uint8_t> upper = ImageWithMac();
  upper[0] = 0xF7;
  const std::vector<uint8_t> lower = OtpWithBeginningOf(ImageWithMac(), 119);
  for (size_t written : {size_t{0}, size_t{1}, size_t{60}, size_t{119}}) {
    std::vector<uint8_t> otp = OtpWithBeginningOf(upper, written, lower);
    otp[0] = 0xF3 | 0xF7;  // the upper signature written over the lower one
    EXPECT_TRUE(HoldsBeginning(otp, upper)) << written;
  }
  // Bytes after the image's end are no business of its write.
  std::vector<uint8_t> otp = OtpWithBeginningOf(image, 50);
  otp[image.size()] = 0x5A;
  EXPECT_TRUE(HoldsBeginning(otp, image));
}

// A finished image differs from another one where the other has a byte the finished one stored
// as zero: a write only sets bits, but the stored image is complete and is not the other's start.
TEST(OtpHoldsBeginningOf, FinishedImageIsNotTheBeginningOfAnother) {
  const std::vector<uint8_t> image = ImageWithMac();
  const std::vector<uint8_t> finished = OtpWithBeginningOf(image, image.size() - 1);

  std::vector<uint8_t> first_mac_byte = image;  // 00:11:... becomes 02:11:...
  first_mac_byte[1] = 0x02;
  EXPECT_FALSE(HoldsBeginning(finished, first_mac_byte));

  std::vector<uint8_t> stepped = image;  // ...:44:00 becomes ...:44:01
  stepped[6] = 0x01;
  EXPECT_FALSE(HoldsBeginning(finished, stepped));
  // Nor does it end a write of that other image cut off where they part.
  EXPECT_FALSE(HoldsBeginning(OtpWithBeginningOf(image, 30), stepped));

  // A byte set after a blank one, or a different signature, is no write of this image.
  std::vector<uint8_t> gap = OtpWithBeginningOf(image, 20);
  gap[60] = image[60];
  EXPECT_FALSE(HoldsBeginning(gap, image));
  gap = OtpWithBeginningOf(image, 20);
  gap[image.size() - 1] = image.back();
  EXPECT_FALSE(HoldsBeginning(gap, image));
  std::vector<uint8_t> upper = image;
  upper[0] = 0xF7;
  EXPECT_FALSE(HoldsBeginning(OtpWithBeginningOf(image, 20), upper));
}

}  // namespace
