// image_layout.h - where things sit in an EEPROM or OTP configuration image: the 192-byte head,
// its three offset tables and the bytes it fixes, and the string descriptors after it.
#pragma once

#include <cstdint>

constexpr int kImageHeadSize = 192;
constexpr int kStringAreaStart = kImageHeadSize;

constexpr uint8_t kEepromImageSignature = 0xA5;
constexpr int kMacAddressOffset = 0x01;

// Offset tables: (length, word offset + bias) byte pairs.
constexpr int kStringTableOffset = 0x25;
constexpr int kStringCount = 5;
constexpr int kDescriptorTableOffset = 0x2F;
constexpr int kDescriptorCount = 7;
constexpr int kBlockTableOffset = 0x3D;
constexpr int kBlockCount = 3;
// Two bytes the head keeps zero, right after the tables and the test-bus words.
constexpr int kReservedWordOffset = 0x46;

// String slots, in string-table and string-area order.
enum StringSlot : int {
  kManufacturerSlot = 0,
  kProductSlot = 1,
  kSerialNumberSlot = 2,
  kConfigurationSlot = 3,
  kInterfaceSlot = 4,
};
// As the INI file names the strings.
inline constexpr const char* kStringSlotNames[kStringCount] = {
    "ManufacturerString",  "ProductString",   "CurrentSerialNumber",
    "ConfigurationString", "InterfaceString",
};
constexpr int kSerialPairOffset = kStringTableOffset + 2 * kSerialNumberSlot;

// The (length, stored word offset) pair of a string slot, a descriptor or a block.
constexpr int StringPairOffset(int slot) { return kStringTableOffset + 2 * slot; }
constexpr int DescriptorPairOffset(int index) { return kDescriptorTableOffset + 2 * index; }
constexpr int BlockPairOffset(int index) { return kBlockTableOffset + 2 * index; }

// The index by which the descriptors name the string of |slot| (the serial number's is given
// even when the image holds no serial number).
constexpr uint8_t StringIndexOf(int slot) { return static_cast<uint8_t>(slot + 1); }

// A string descriptor: a header (length 2n + 2, this type), then one 16-bit unit a character.
constexpr uint8_t kStringDescriptorType = 0x03;
// The length byte holds 2n + 2, so a descriptor takes at most this many characters.
constexpr int kMaxDescriptorChars = 126;

// A string character as a 16-bit unit: the character in the low byte, sign-extended.
constexpr uint16_t StringCharacterUnit(char character) {
  return static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(character)));
}

// The descriptor table, before the bias: the BOS, the SuperSpeed device and configuration, the
// high-speed device and configuration, and again the high-speed pair.
struct DescriptorPointer {
  uint8_t length;
  uint8_t word;
};
inline constexpr DescriptorPointer kDescriptorTable[kDescriptorCount] = {
    {.length = 0x16, .word = 0x31}, {.length = 0x12, .word = 0x3C}, {.length = 0x12, .word = 0x45},
    {.length = 0x12, .word = 0x4E}, {.length = 0x12, .word = 0x57}, {.length = 0x12, .word = 0x4E},
    {.length = 0x12, .word = 0x57},
};

// Descriptor bytes the layout fixes.
struct FixedPart {
  const char* name;
  int offset;
  uint8_t bytes[8];
  int count;
};
inline constexpr FixedPart kFixedParts[] = {
    {"BOS descriptor", 0x62, {0x05, 0x0F, 0x16, 0x00, 0x02}, 5},
    {"USB 2.0 Extension capability", 0x67, {0x07, 0x10, 0x02}, 3},
    {"SuperSpeed USB Device capability", 0x6E, {0x0A, 0x10, 0x03}, 3},
    {"SuperSpeed device descriptor", 0x78, {0x12, 0x01, 0x10, 0x03, 0xFF, 0x00, 0xFF, 0x09}, 8},
    {"SuperSpeed configuration descriptor", 0x8A, {0x09, 0x02, 0x39, 0x00, 0x01, 0x01}, 6},
    {"SuperSpeed interface descriptor", 0x93, {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, 8},
    {"high-speed device descriptor", 0x9C, {0x12, 0x01, 0x10, 0x02, 0xFF, 0x00, 0xFF, 0x40}, 8},
    {"high-speed configuration descriptor", 0xAE, {0x09, 0x02, 0x27, 0x00, 0x01, 0x01}, 6},
    {"high-speed interface descriptor", 0xB7, {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, 8},
};
