// otp_space.cpp - the OTP's state before a write. The signature byte says which image is in use;
// for a lower-half image the offset tables say where it ends, and so whether the upper half is
// still free for a second one.
#include "nvm/otp_space.h"

#include "common/image_buffer.h"

#include "driver/driver_operations.h"

namespace {

constexpr int kUpperHalfNeedsF7 = 12;

}  // namespace

bool ReadOtpContents(Driver& driver, int32_t size, uint8_t* otp) {
  if (OTP_READ_BLOCK(driver, 0, static_cast<uint16_t>(size), otp)) return true;
  driver.console().Error("Failed to read OTP\n");
  return false;
}

OtpResult CheckOtpSpace(Driver& driver, OtpJob& job) {
  uint8_t otp[kImageBufferSize] = {};
  if (!ReadOtpContents(driver, job.size, otp)) return OtpResult::kReadFailed;
  return JudgeOtpSpace(otp, job, driver.console());
}

bool OtpHoldsBeginningOf(const uint8_t* otp, int32_t size, const uint8_t* image, int32_t length) {
  const bool upper = image[0] == kOtpSignatureUpper;
  if (length < 1 || otp[0] != image[0] || (!upper && image[0] != kOtpSignatureLower)) return false;
  const int32_t base = OtpBodyOffset(image[0]);
  if (base + length - 1 > size) return false;
  // The body goes out in one block from its first byte on, so a cut-off write leaves the image's
  // bytes up to some point and nothing after it. A zero the image itself holds there reads the
  // same either way.
  int32_t i = 1;
  while (i < length && otp[base + i - 1] == image[i]) ++i;
  for (; i < length; ++i) {
    if (otp[base + i - 1] != 0) return false;
  }
  return true;
}

OtpResult JudgeOtpSpace(const uint8_t* otp, OtpJob& job, Console& console) {
  const uint8_t signature = otp[0];
  const bool switching_off = job.signature == kOtpSwitchOff;
  job.used_bytes = 0;
  if (signature == kOtpBlank) {
    if (!switching_off) return OtpResult::kOk;
    console.Error(
        "Signature ( %x )found in OTP is 0, Hence device is not using OTP. No need to write "
        "0xFF\n",
        0);
    return OtpResult::kFailed;
  }
  if (switching_off) return OtpResult::kOk;
  if (signature == kOtpSignatureUpper) {
    console.Error("Device OTP full (Signature 0xF7), cannot write OTP\n");
    return OtpResult::kFull;
  }
  if (signature != kOtpSignatureLower) {
    console.Error("Invalid Signature ( %x )found in OTP, cannot write OTP\n", signature);
    return OtpResult::kFailed;
  }
  const int32_t end = StoredImageEnd(otp);
  if (end > kOtpHalf) {
    console.Printf("OTP already using %d bytes. Cannot write OTP\n", end);
    return OtpResult::kNoRoom;
  }
  job.used_bytes = kOtpHalf;
  return OtpResult::kOk;
}

int ValidateOtpSettings(OtpJob& job, Console& console) {
  if (job.signature == 0) {
    job.signature = job.used_bytes == kOtpHalf ? kOtpSignatureUpper : kOtpSignatureLower;
    return 0;
  }
  if (job.signature == kOtpSignatureLower && job.used_bytes != 0) {
    console.Error("OTP Signature provided through ini file is 0xF3 but OTP is not empty\n");
    return -1;
  }
  if (job.signature == kOtpSignatureUpper && job.used_bytes == 0) {
    console.Error(
        "OTP empty, The Signature provided through ini file is 0xF7 hence skipping first 256 "
        "bytes\n");
  }
  return 0;
}

int ValidateOtpFileImage(const OtpJob& job, const uint8_t* image, Console& console) {
  if (job.used_bytes == 0 && image[0] != kOtpSignatureLower) {
    console.Error("OTP is empty and the Signature byte should be 0xF3\n");
    return -1;
  }
  if (job.used_bytes == kOtpHalf && image[0] != kOtpSignatureUpper) {
    console.Error("Upper 256 bytes of OTP is empty and the Signature byte should be 0xF7\n");
    return kUpperHalfNeedsF7;
  }
  return 0;
}
