// adapter_info_text.cpp - UTF-16LE answers of the driver to UTF-8 console text, bounded by the
// bytes received.
#include "driver/adapter_info_text.h"

#include "common/little_endian.h"

namespace {

void AppendUtf8(std::string* text, uint32_t code) {
  if (code < 0x80) {
    text->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text->push_back(static_cast<char>(0xC0 | code >> 6));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text->push_back(static_cast<char>(0xE0 | code >> 12));
    text->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text->push_back(static_cast<char>(0xF0 | code >> 18));
    text->push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::string WideTextToConsole(const uint8_t* bytes, size_t length) {
  const size_t units = length / 2;
  auto unit_at = [bytes](size_t i) -> uint32_t { return GetLe16(bytes, 2 * i); };
  std::string text;
  for (size_t i = 0; i < units; ++i) {
    const uint32_t unit = unit_at(i);
    if (unit == 0) break;
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unit_at(i + 1))) {
      AppendUtf8(&text, 0x10000 + ((unit - 0xD800) << 10) + (unit_at(i + 1) - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      text.push_back('?');
    } else {
      AppendUtf8(&text, unit);
    }
  }
  return text;
}
