// otp_form.cpp - the two forms of OTP image file, and the end of a stored lower-half image.
#include "format/otp_form.h"

#include <algorithm>
#include <cstring>

#include "format/image_layout.h"

namespace {

// The (length, word offset) pairs in the order they are judged; a later pair wins only with a
// strictly greater offset. The reserved word comes first, then the blocks (the first last), the
// strings and the descriptors, each from the last.
constexpr int kEndPairs[] = {
    kReservedWordOffset,     BlockPairOffset(1),      BlockPairOffset(2),
    BlockPairOffset(0),      StringPairOffset(4),     StringPairOffset(3),
    StringPairOffset(2),     StringPairOffset(1),     StringPairOffset(0),
    DescriptorPairOffset(6), DescriptorPairOffset(5), DescriptorPairOffset(4),
    DescriptorPairOffset(3), DescriptorPairOffset(2), DescriptorPairOffset(1),
    DescriptorPairOffset(0),
};

}  // namespace

size_t ImageOfFile(const uint8_t* file, size_t size, uint8_t* image, size_t capacity) {
  if (size == 0 || file[0] != kOtpSignatureUpper) {
    const size_t taken = std::min(size, capacity);
    std::memcpy(image, file, taken);
    return taken;
  }
  const size_t offset = kOtpUpperBodyOffset;
  const size_t body = std::min(size > offset ? size - offset : 0, capacity - 1);
  image[0] = file[0];
  std::memcpy(image + 1, file + offset, body);
  return body + 1;
}

int32_t OtpFileSize(uint8_t signature, int32_t length) {
  return signature == kOtpSignatureUpper ? length - 1 + kOtpUpperBodyOffset : length;
}

int32_t OtpFileOfImage(const uint8_t* image, int32_t length, uint8_t* file) {
  std::memset(file, 0, kOtpSize);
  const int32_t size = OtpFileSize(image[0], length);
  if (image[0] != kOtpSignatureUpper) {
    std::memcpy(file, image, static_cast<size_t>(length));
    return size;
  }
  file[0] = image[0];
  std::memcpy(file + kOtpUpperBodyOffset, image + 1, static_cast<size_t>(length - 1));
  return size;
}

int32_t StoredImageEnd(const uint8_t* otp) {
  int best = kEndPairs[0];
  for (int pair : kEndPairs) {
    if (otp[pair + 1] > otp[best + 1]) best = pair;
  }
  return 2 * otp[best + 1] + otp[best];
}
