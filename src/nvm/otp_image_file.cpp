// otp_image_file.cpp - reading an OTP image from either file form, and laying an image out in
// its form. The gap of an 0xF7 file (bytes 1 to 0x100) is zero when written, ignored when read.
#include "nvm/otp_image_file.h"

#include <cstdio>
#include <cstring>

#include "common/image_buffer.h"
#include "nvm/otp_job.h"

bool ReadOtpImageFile(const char* file_name, uint8_t* image, int32_t* length, Console& console) {
  std::FILE* file = std::fopen(file_name, "rb");
  if (file == nullptr) {
    console.Error("No file %s was found\n", file_name);
    return false;
  }
  uint8_t signature = 0;
  bool read = true;
  if (std::fread(&signature, 1, 1, file) != 1) {
    console.Error("Error reading signature (first byte) from binary file\n");
    read = false;
  } else if (signature == kOtpSignatureLower) {
    std::rewind(file);
    *length = static_cast<int32_t>(std::fread(image, 1, kImageBufferSize, file));
  } else if (signature == kOtpSignatureUpper) {
    image[0] = signature;
    size_t body = 0;
    if (std::fseek(file, kOtpUpperBodyOffset, SEEK_SET) == 0) {
      body = std::fread(image + 1, 1, kImageBufferSize - 1, file);
    }
    *length = static_cast<int32_t>(body) + 1;
  } else {
    console.Error("Invalid signature %x in the binary file\n", signature);
    read = false;
  }
  std::fclose(file);
  return read;
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
