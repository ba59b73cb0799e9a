// otp_image_file.cpp - reading an OTP image from either file form, and laying an image out in
// its form. The gap of an 0xF7 file (bytes 1 to 0x100) is zero when written, ignored when read.
#include "nvm/otp_image_file.h"

#include <algorithm>
#include <cstring>

#include "common/image_buffer.h"
#include "nvm/otp_job.h"
#include "platform/user_file.h"

bool ReadOtpImageFile(const char* file_name, uint8_t* image, int32_t* length, Console& console) {
  // Enough for the longest body either form is read for: 0xF3 from 0, 0xF7 from 0x101.
  uint8_t file[kOtpUpperBodyOffset + kImageBufferSize - 1];
  size_t count = 0;
  // A file that cannot be read (a directory, a read error) is as missing as one that is not there.
  if (!ReadUserFile(file_name, file, sizeof file, &count)) {
    console.Error("No file %s was found\n", file_name);
    return false;
  }
  if (count == 0) {
    console.Error("Error reading signature (first byte) from binary file\n");
    return false;
  }
  if (file[0] == kOtpSignatureLower) {
    const size_t taken = std::min<size_t>(count, kImageBufferSize);
    std::memcpy(image, file, taken);
    *length = static_cast<int32_t>(taken);
    return true;
  }
  if (file[0] == kOtpSignatureUpper) {
    const size_t body = count > kOtpUpperBodyOffset ? count - kOtpUpperBodyOffset : 0;
    image[0] = file[0];
    std::memcpy(image + 1, file + kOtpUpperBodyOffset, body);
    *length = static_cast<int32_t>(body) + 1;
    return true;
  }
  console.Error("Invalid signature %x in the binary file\n", file[0]);
  return false;
}

int32_t OtpImageFileBytes(const uint8_t* image, int32_t length, uint8_t* file) {
  std::memset(file, 0, kOtpSize);
  if (image[0] != kOtpSignatureUpper) {
    std::memcpy(file, image, static_cast<size_t>(length));
    return length;
  }
  file[0] = image[0];
  std::memcpy(file + kOtpUpperBodyOffset, image + 1, static_cast<size_t>(length - 1));
  return length - 1 + kOtpUpperBodyOffset;
}
