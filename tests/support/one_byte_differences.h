// one_byte_differences.h - a verifier must notice one changed byte wherever it lies: the device
// holds the image except for one byte at the first, a middle or the last position. Shared by the
// verification tests of every memory (EEPROM, OTP, PHY firmware).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

struct OneByteDifference {
  const char* where;
  size_t offset;
};

// The positions to change in an image of |length| bytes (length >= 1).
inline std::vector<OneByteDifference> OneByteDifferences(size_t length) {
  return {{"first", 0}, {"middle", length / 2}, {"last", length - 1}};
}

// |image| with only the lowest bit of the byte at |offset| changed.
inline std::vector<uint8_t> WithByteChanged(std::vector<uint8_t> image, size_t offset) {
  image.at(offset) ^= 0x01;
  return image;
}

// Calls |verify| with device contents and expects its result: |matches| when the device holds
// |image|, |differs| for each one-byte difference. |verify| puts the contents it is given where
// its verifier reads them and returns the verifier's result.
template <typename Verify>
void ExpectOneByteDifferencesCaught(const std::vector<uint8_t>& image, int matches, int differs,
                                    Verify verify) {
  EXPECT_EQ(verify(image), matches) << "the device holds the image";
  for (const OneByteDifference& difference : OneByteDifferences(image.size())) {
    EXPECT_EQ(verify(WithByteChanged(image, difference.offset)), differs)
        << "one byte differs, the " << difference.where << " one (offset " << difference.offset
        << " of " << image.size() << ")";
  }
}
