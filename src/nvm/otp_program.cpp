// otp_program.cpp - the write of one OTP image: size check, the operator's answer, signature,
// body, read-back. And the one-byte write that switches the OTP off for good.
#include "nvm/otp_program.h"

#include "common/image_buffer.h"

#include "driver/driver_operations.h"

namespace {

bool OperatorConfirms(Console& console, int32_t base) {
  console.Warning("%s", base == kOtpUpperBodyOffset
                            ? "OTP will be written to offset 0x101, Please confirm (y/n): "
                            : "OTP will be written from offset 0, Please confirm (y/n): ");
  const int answer = console.ReadChar();
  return answer == 'y' || answer == 'Y';
}

}  // namespace

OtpResult WriteOtpImage(Driver& driver, const OtpJob& job, const uint8_t* image, int32_t length) {
  Console& console = driver.console();
  const int32_t base = OtpBodyOffset(image[0]);
  const int32_t body = length - 1;
  if (body > job.size - base) {
    console.Error("The size of binary image is greater than available OTP size\n");
    return OtpResult::kFailed;
  }
  if (!job.confirmed && job.announcement != nullptr) console.Printf("%s\n", job.announcement);
  if (!job.confirmed && !OperatorConfirms(console, base)) {
    console.Print("Exiting.\n");
    return OtpResult::kFailed;
  }
  if (job.gate != nullptr) job.gate->Starting();
  if (!OTP_WRITE_BLOCK(driver, 0, 1, image)) {
    console.Print("Failed to program device OTP offset 0 (Signature byte)\n");
    return OtpResult::kFailed;
  }
  // An image of the signature alone has no body: nothing more is sent, and it carries no
  // identity.
  if (body > 0) {
    const GatedWrite written =
        WriteThroughGate(job.gate, image, length, [&](const BeforeDataRequest& before_data) {
          return OTP_WRITE_BLOCK(driver, static_cast<uint16_t>(base), static_cast<uint16_t>(body),
                                 image + 1, before_data);
        });
    if (written == GatedWrite::kRefused) return OtpResult::kFailed;
    if (written == GatedWrite::kFailed) {
      console.Printf("Failed to program device OTP offset %d, size = %d\n", base, body);
      return OtpResult::kFailed;
    }
  }
  if (VerifyOTP(driver, image, length) != 0) {
    console.Error("Failed to verify device OTP\n");
    return OtpResult::kFailed;
  }
  console.Printf("The current device OTP was programmed with %d bytes\n", length);
  return OtpResult::kOk;
}

OtpResult SwitchOtpOff(Driver& driver) {
  Console& console = driver.console();
  console.Error("The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!\n");
  console.Error("Please confirm (Y/N)\n");
  if (console.ReadChar() != 'Y') {
    console.Print("Exiting.\n");
    return OtpResult::kFailed;
  }
  const uint8_t off = kOtpSignatureOff;
  if (!OTP_WRITE_BLOCK(driver, 0, 1, &off)) {
    console.Print("Failed to program device OTP offset 0 (Signature byte with 0xFF)\n");
    return OtpResult::kFailed;
  }
  return OtpResult::kOk;
}

int VerifyOTP(Driver& driver, const uint8_t* image, int32_t length) {
  Console& console = driver.console();
  if (length > kOtpSize || length < 1) {
    console.Print("Invalid eeprom size\n");
    return kOtpVerifyDiffers;
  }
  const int32_t base = OtpBodyOffset(image[0]);
  const int32_t body = length - 1;
  uint8_t signature = 0;
  uint8_t device[kImageBufferSize] = {};
  if (!OTP_READ_BLOCK(driver, 0, 1, &signature)) {
    console.Error("VerifyOTP: Failed to read offset 0\n");
    return kOtpVerifyReadFailed;
  }
  if (body > 0 &&
      !OTP_READ_BLOCK(driver, static_cast<uint16_t>(base), static_cast<uint16_t>(body), device)) {
    console.Error("VerifyOTP: Failed to read OTP\n");
    return kOtpVerifyReadFailed;
  }
  if (signature != image[0]) {
    console.Error("Failed to verify signature\n");
    return kOtpVerifyDiffers;
  }
  for (int32_t i = 1; i < length; ++i) {
    if (image[i] != device[i - 1]) {
      console.Error("Failed to verify OTP contents: offset %d, memory: %x  device: %x\n", i,
                    image[i], device[i - 1]);
      return kOtpVerifyDiffers;
    }
  }
  return 0;
}
