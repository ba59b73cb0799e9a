// otp_image_file.cpp - reading an OTP image from a file of either form.
#include "nvm/otp_image_file.h"

#include <string>

#include "common/image_buffer.h"
#include "nvm/otp_job.h"
#include "platform/user_file.h"

bool ReadOtpImageFile(const char* file_name, uint8_t* image, int32_t* length, Console& console) {
  // Enough for the longest body either form is read for: a whole buffer from 0, or all but the
  // signature from the upper half's body offset.
  uint8_t file[kMaxImageFileBytes - 1];
  size_t count = 0;
  // A file that cannot be read (a directory, a read error) is as missing as one that is not there.
  std::string reason;
  if (!ReadUserFile(file_name, file, sizeof file, &count, &reason)) {
    console.Error("No file %s was found\n", file_name);
    console.Diagnostic("%s: %s\n", file_name, reason.c_str());
    return false;
  }
  if (count == 0) {
    console.Error("Error reading signature (first byte) from binary file\n");
    return false;
  }
  if (file[0] != kOtpSignatureLower && file[0] != kOtpSignatureUpper) {
    console.Error("Invalid signature %x in the binary file\n", file[0]);
    return false;
  }
  *length = static_cast<int32_t>(ImageOfFile(file, count, image, kImageBufferSize));
  return true;
}
