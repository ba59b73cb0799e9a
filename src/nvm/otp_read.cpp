// otp_read.cpp - the OTP saved to a file, as raw bytes from offset 0.
#include "nvm/otp_read.h"

#include <cstring>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "nvm/otp_job.h"
#include "platform/user_file.h"

namespace {

constexpr int kChipNameChars = 7;

}  // namespace

OtpSaveResult ReadOtp(Driver& driver, int32_t size, const char* file_name, char* file_base) {
  Console& console = driver.console();
  uint8_t otp[kImageBufferSize] = {};
  if (!OTP_READ_BLOCK(driver, 0, static_cast<uint16_t>(size), otp)) {
    return OtpSaveResult::kFailed;
  }
  const bool named = file_name != nullptr;
  if (!named) {
    std::strcpy(file_base + kChipNameChars, "-otp.bin");
    file_name = file_base;
  }
  switch (ReplaceUserFile(file_name, otp, static_cast<size_t>(size))) {
    case ReplaceResult::kNotCreated:
      console.Error("ERROR::Failed to create/open %s\n", file_name);
      return named ? OtpSaveResult::kNamedFileFailed : OtpSaveResult::kFailed;
    case ReplaceResult::kNotWritten:
      console.Error("ERROR::WriteFile Failed\n");
      return OtpSaveResult::kFailed;
    case ReplaceResult::kReplaced:
      break;
  }
  console.Printf("Saved OTP content to the file %s under current folder\n", file_name);
  return OtpSaveResult::kSaved;
}
