// image_layout.h - where things sit in an EEPROM or OTP configuration image: the 192-byte head,
// its three offset tables and the bytes it fixes, and the string descriptors after it.
#pragma once

#include <array>
#include <cstddef>
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

constexpr int kBosOffset = 0x62;

// The head holds a device descriptor and a configuration, followed by its interface, for each of
// two speeds; they differ in these values alone.
struct SpeedLayout {
  const char* field_prefix;  // of the inspector's names for the fields
  const char* part_prefix;   // of its names for the fixed bytes
  int device;                // offset of the device descriptor
  int configuration;         // offset of the configuration descriptor
  uint8_t usb_major;         // high byte of the USB release
  uint8_t max_packet;        // of endpoint 0
  uint8_t total_length;      // of the configuration, its interface and endpoints
  const char* power_key;     // the INI key of the maximum power
  int power_unit;            // milliamperes per stored step
};
constexpr int kSuperSpeed = 0;
constexpr int kHighSpeed = 1;
inline constexpr SpeedLayout kSpeedLayouts[2] = {
    {"SuperSpeed.", "SuperSpeed ", 0x78, 0x8A, 0x03, 0x09, 0x39, "SSMaxPower", 8},
    {"HighSpeed.", "high-speed ", 0x9C, 0xAE, 0x02, 0x40, 0x27, "HSMaxPower", 2},
};
constexpr int kConfigurationLength = 9;  // the interface follows it

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
constexpr DescriptorPointer Pointer(uint8_t length, int offset) {
  return {.length = length, .word = static_cast<uint8_t>(offset / 2)};
}
inline constexpr DescriptorPointer kDescriptorTable[kDescriptorCount] = {
    Pointer(0x16, kBosOffset),
    Pointer(0x12, kSpeedLayouts[kSuperSpeed].device),
    Pointer(0x12, kSpeedLayouts[kSuperSpeed].configuration),
    Pointer(0x12, kSpeedLayouts[kHighSpeed].device),
    Pointer(0x12, kSpeedLayouts[kHighSpeed].configuration),
    Pointer(0x12, kSpeedLayouts[kHighSpeed].device),
    Pointer(0x12, kSpeedLayouts[kHighSpeed].configuration),
};

// Descriptor bytes the layout fixes.
struct FixedPart {
  const char* prefix;
  const char* name;
  int offset;
  uint8_t bytes[8];
  int count;
};
inline constexpr auto kFixedParts = [] {
  std::array<FixedPart, 9> parts = {{
      {"", "BOS descriptor", kBosOffset, {0x05, 0x0F, 0x16, 0x00, 0x02}, 5},
      {"", "USB 2.0 Extension capability", 0x67, {0x07, 0x10, 0x02}, 3},
      {"", "SuperSpeed USB Device capability", 0x6E, {0x0A, 0x10, 0x03}, 3},
  }};
  size_t next = 3;
  for (const SpeedLayout& speed : kSpeedLayouts) {
    parts[next++] = {speed.part_prefix,
                     "device descriptor",
                     speed.device,
                     {0x12, 0x01, 0x10, speed.usb_major, 0xFF, 0x00, 0xFF, speed.max_packet},
                     8};
    parts[next++] = {speed.part_prefix,
                     "configuration descriptor",
                     speed.configuration,
                     {0x09, 0x02, speed.total_length, 0x00, 0x01, 0x01},
                     6};
    parts[next++] = {speed.part_prefix,
                     "interface descriptor",
                     speed.configuration + kConfigurationLength,
                     {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF},
                     8};
  }
  return parts;
}();
