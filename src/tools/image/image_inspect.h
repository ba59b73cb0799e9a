// image_inspect.h - what the inspector makes of an image file: every field by name, the strings
// and the optional blocks, and what in the image does not hold together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/image_decode.h"

struct ShownField {
  std::string name;
  std::string value;
};

struct InspectedImage : DecodedImage {
  std::vector<ShownField> fields;     // in layout order
  std::vector<std::string> problems;  // inconsistencies, in the order found
};

// Inspects a whole file. An empty file gives form kUnknown and the problem that it holds nothing.
InspectedImage InspectImageFile(const uint8_t* file, size_t size);

// The value of the field |name|, or nullptr.
const std::string* FindField(const InspectedImage& inspected, const std::string& name);

// Adds the named head fields and their consistency problems (called by InspectImageFile).
void InspectHead(InspectedImage& inspected);

// printf into a std::string (at most 255 characters).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "AB", quoted, with characters outside printable ASCII written as \xHH.
std::string QuoteText(const std::string& text);
