// otp_verify_test.cpp - the read-back after an OTP write, on a scripted device: the signature at
// offset 0 and the body where the signature places it, each read once, every byte compared.
#include <gtest/gtest.h>

#include "nvm/otp_program.h"
#include "support/capture_console.h"
#include "support/one_byte_differences.h"
#include "support/scripted_device.h"

namespace {

std::vector<uint8_t> Image(uint8_t signature, size_t length) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  bytes[0] = signature;
  return bytes;
}

class OtpVerify : public ::testing::Test {
 protected:
  // One bracketed OTP block read answered with |data|.
  void ExpectRead(uint16_t offset, const std::vector<uint8_t>& data, uint32_t status = 0) {
    device_.Expect(ExpectedRequest(emu::kOtpConfigure).Parameter(emu::kOtpOpenForRead).Length(17));
    device_.Expect(
        ExpectedRequest(emu::kOtpReadBlock).Position(offset, static_cast<uint16_t>(data.size())),
        {.status = status, .data = data});
    device_.Expect(ExpectedRequest(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Length(17));
  }
  // Verifies |image| against an OTP holding |device| (signature, then body) where the image's
  // signature places it: the body from 1, or from 0x101 in the upper half.
  int Verify(const std::vector<uint8_t>& image, const std::vector<uint8_t>& device) {
    ExpectRead(0, {device[0]});
    if (image.size() > 1) {
      ExpectRead(image[0] == 0xF7 ? 0x101 : 1, {device.begin() + 1, device.end()});
    }
    return VerifyOTP(driver_, image.data(), static_cast<int32_t>(image.size()));
  }

  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

TEST_F(OtpVerify, EveryByteOfEitherHalfIsCompared) {
  for (const auto& [signature, length] :
       {std::pair<uint8_t, size_t>{0xF3, 512}, {0xF7, 256}, {0xF3, 2}, {0xF7, 1}}) {
    SCOPED_TRACE(testing::Message() << std::hex << int{signature} << std::dec << " " << length);
    const std::vector<uint8_t> image = Image(signature, length);
    ExpectOneByteDifferencesCaught(
        image, 0, 1, [&](const std::vector<uint8_t>& device) { return Verify(image, device); });
  }
}

TEST_F(OtpVerify, DifferencesNameTheSignatureOrTheImageIndex) {
  const std::vector<uint8_t> image = Image(0xF7, 40);
  EXPECT_EQ(Verify(image, WithByteChanged(image, 0)), 1);
  EXPECT_EQ(console_.TakeOutput(), "ERROR: Failed to verify signature\n");
  EXPECT_EQ(Verify(image, WithByteChanged(image, 5)), 1);
  EXPECT_EQ(console_.TakeOutput(),
            "ERROR: Failed to verify OTP contents: offset 5, memory: 26  device: 27\n");
}

TEST_F(OtpVerify, UnreadableOtpAndOverlongImage) {
  const std::vector<uint8_t> image = Image(0xF3, 16);
  ExpectRead(0, {0}, 2);
  EXPECT_EQ(VerifyOTP(driver_, image.data(), 16), 11);
  EXPECT_EQ(console_.TakeOutput(),
            "ERROR: OTP_READ_BLOCK failed! status:Adapter Busy\n"
            "ERROR: VerifyOTP: Failed to read offset 0\n");
  ExpectRead(0, {0xF3});
  ExpectRead(1, std::vector<uint8_t>(15), 2);
  EXPECT_EQ(VerifyOTP(driver_, image.data(), 16), 11);
  EXPECT_EQ(console_.TakeOutput(),
            "ERROR: OTP_READ_BLOCK failed! status:Adapter Busy\n"
            "ERROR: VerifyOTP: Failed to read OTP\n");
  EXPECT_EQ(VerifyOTP(driver_, image.data(), 513), 1);
  EXPECT_EQ(console_.TakeOutput(), "Invalid eeprom size\n");
}

}  // namespace
