// utf16_text.cpp - converting between UTF-8 and UTF-16.
#include "platform/utf16_text.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point that starts at |*i|, which moves past it.
char32_t NextCodePoint(const std::string& text, size_t* i) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
  const uint8_t lead = byte(*i);
  size_t length = 0;
  char32_t point = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    ++*i;
    return lead;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2, point = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, point = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, point = lead & 0x07, least = 0x10000;
  } else {
    ++*i;
    return kReplacement;
  }
  if (*i + length > text.size()) {
    ++*i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(*i + k) & 0xC0) != 0x80) {
      ++*i;
      return kReplacement;
    }
    point = (point << 6) | (byte(*i + k) & 0x3F);
  }
  *i += length;
  const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
  return point < least || point > 0x10FFFF || surrogate ? kReplacement : point;
}

void AppendUtf8(char32_t point, std::string* text) {
  if (point < 0x80) {
    *text += static_cast<char>(point);
  } else if (point < 0x800) {
    *text += static_cast<char>(0xC0 | (point >> 6));
    *text += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    *text += static_cast<char>(0xE0 | (point >> 12));
    *text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    *text += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    *text += static_cast<char>(0xF0 | (point >> 18));
    *text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    *text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    *text += static_cast<char>(0x80 | (point & 0x3F));
  }
}

}  // namespace

std::u16string Utf16Of(const std::string& utf8) {
  std::u16string wide;
  wide.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t point = NextCodePoint(utf8, &i);
    if (point < 0x10000) {
      wide += static_cast<char16_t>(point);
    } else {
      wide += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  return wide;
}

std::string Utf8Of(const std::u16string& utf16) {
  std::string text;
  text.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00), &text);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(kReplacement, &text);
    } else {
      AppendUtf8(unit, &text);
    }
  }
  return text;
}
