// image_decode.h - reading a configuration image back out of an EEPROM or OTP file: its form,
// every head field by name, the strings, the optional blocks, and what in it does not hold
// together. Pure: works on bytes in memory and never reads past them, whatever the tables say.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/image/image_layout.h"

enum class ImageForm {
  kEeprom,        // signature 0xA5
  kOtpLowerHalf,  // signature 0xF3, file offset i is image byte i
  kOtpUpperHalf,  // signature 0xF7, image bytes 1.. from file offset 0x101, offsets biased
  kUnknown,       // no form has this signature; decoded as an EEPROM image
};

struct ImageField {
  std::string name;
  std::string value;
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
  std::vector<ImageField> fields;     // in layout order
  std::vector<std::string> problems;  // inconsistencies, in the order found

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
};

// Names of the string slots and blocks, as the layout and the INI file call them.
extern const char* const kStringSlotNames[kStringCount];
extern const char* const kBlockNames[kBlockCount];
constexpr int kBlockLengths[kBlockCount] = {20, 24, 4};
constexpr int kWakeFilterBlock = 0;
constexpr int kLtmBeltBlock = 1;
constexpr int kTestBusBlock = 2;

// Decodes a whole file. An empty file gives form kUnknown and the problem that it holds nothing.
DecodedImage DecodeImageFile(const uint8_t* file, size_t size);

// The value of the field |name|, or nullptr.
const std::string* FindField(const DecodedImage& decoded, const std::string& name);

// Adds the named head fields and their consistency problems (called by DecodeImageFile).
void DecodeHeadFields(DecodedImage& decoded);

// printf into a std::string (at most 255 characters).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "AB", quoted, with characters outside printable ASCII written as \xHH.
std::string QuoteText(const std::string& text);
