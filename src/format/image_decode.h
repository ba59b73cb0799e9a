// image_decode.h - a configuration image read back out of an EEPROM or OTP image file: its form,
// the image itself, and the strings and optional blocks as its offset tables point at them.
// Pure: works on bytes in memory and never reads past them, whatever the tables say.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/head_fields.h"
#include "format/image_layout.h"
#include "format/mac_text.h"

enum class ImageForm {
  kEeprom,        // signature 0xA5
  kOtpLowerHalf,  // file offset i is image byte i
  kOtpUpperHalf,  // image bytes 1.. from the upper half's body offset, offsets biased
  kUnknown,       // no form has this signature; decoded as an EEPROM image
};

// One string descriptor as the string table points at it.
struct DecodedString {
  bool present = false;       // table pair not (0, 0)
  int offset = 0;             // image byte of the header, bias removed
  int length = 0;             // table length byte
  std::string text;           // the low byte of every unit inside the image
  bool builder_units = true;  // every unit is a sign-extended byte, as the builder writes
};

// One optional block as the block table points at it.
struct DecodedBlock {
  bool present = false;
  int offset = 0;
  int length = 0;
  bool inside = false;  // offset + length within the image
};

struct DecodedImage {
  ImageForm form = ImageForm::kUnknown;
  size_t file_size = 0;
  std::vector<uint8_t> image;  // the image as the builder lays it out; image[0] the signature
  uint8_t bias = 0;            // removed from every stored word offset
  int image_length = 0;        // end of the last string or block, at least the head
  std::array<DecodedString, kStringCount> strings;
  std::array<DecodedBlock, kBlockCount> blocks;

  // The byte at |offset| of the image, or 0 beyond its end.
  uint8_t At(int offset) const {
    return offset >= 0 && static_cast<size_t>(offset) < image.size() ? image[offset] : 0;
  }
  uint32_t Le(int offset, int count) const {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | At(offset + i);
    return value;
  }
  bool Holds(int offset, int count) const {
    return offset >= 0 && count >= 0 &&
           static_cast<size_t>(offset) + static_cast<size_t>(count) <= image.size();
  }
  // The value of a head field (0 for the bytes beyond the image).
  uint32_t Field(HeadField field) const {
    const HeadFieldRow& row = RowOf(field);
    return HeadFieldValue(field, Le(row.offset, row.bytes));
  }
  // The MAC address (0 for the bytes beyond the image).
  MacAddress Mac() const {
    MacAddress mac{};
    for (size_t i = 0; i < mac.size(); ++i) mac[i] = At(kMacAddressOffset + static_cast<int>(i));
    return mac;
  }
  // The image byte that a stored word offset points at.
  int PointedOffset(uint8_t stored_word) const {
    return 2 * static_cast<uint8_t>(stored_word - bias);
  }
};

// Decodes a whole file. An empty file gives form kUnknown and an empty image.
DecodedImage DecodeImageFile(const uint8_t* file, size_t size);
