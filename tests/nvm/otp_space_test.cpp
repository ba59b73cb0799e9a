// otp_space_test.cpp - whether the upper half is free for a second image, judged from where the
// stored lower image ends.
#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
