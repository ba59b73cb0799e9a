// image_layout.h - where things sit in an EEPROM or OTP configuration image: the 192-byte head,
// its three offset tables, the string area after it and the byte helpers the builders share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/configuration_image.h"
#include "common/image_buffer.h"
#include "common/little_endian.h"

constexpr int kImageHeadSize = 192;
constexpr int kStringAreaStart = kImageHeadSize;

enum ImageKind : int { kImageKindEeprom = 1, kImageKindOtp = 2 };

// Added to every stored word offset of an image meant for the upper half of the OTP.
constexpr uint8_t kUpperHalfBias = 0x80;

// Offset tables: (length, word offset + bias) byte pairs.
constexpr int kStringTableOffset = 0x25;
constexpr int kStringCount = 5;
constexpr int kDescriptorTableOffset = 0x2F;
constexpr int kBlockTableOffset = 0x3D;
constexpr int kBlockCount = 3;

// String slots, in string-table and string-area order.
enum StringSlot : int {
  kManufacturerSlot = 0,
  kProductSlot = 1,
  kSerialNumberSlot = 2,
  kConfigurationSlot = 3,
  kInterfaceSlot = 4,
};
constexpr int kSerialPairOffset = kStringTableOffset + 2 * kSerialNumberSlot;  // 0x29

// A string descriptor's length byte holds 2n + 2, so it takes at most this many characters.
constexpr int kMaxDescriptorChars = 126;

// A string character as a 16-bit unit: the character in the low byte, sign-extended.
inline uint16_t StringCharacterUnit(char character) {
  return static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(character)));
}

// The bias that an image's offset tables carry, judged from its first byte as the string area
// and the identity patch do.
inline uint8_t StoredOffsetBias(const uint8_t* image) {
  return image[0] == kOtpUpperHalfSignature ? kUpperHalfBias : 0;
}
