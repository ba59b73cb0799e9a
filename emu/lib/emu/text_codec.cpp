// text_codec.cpp - UTF-8 to UTF-16LE, quoted texts, and hexadecimal bytes.
#include "emu/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace emu {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one character at |*position| and moves past it.
uint32_t NextCodePoint(const std::string& text, size_t* position) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(*position);
  size_t length = 1;
  uint32_t code = lead;
  if (lead >= 0xF0 && lead < 0xF8) {
    length = 4;
    code = lead & 0x07;
  } else if (lead >= 0xE0) {
    length = lead < 0xF0 ? 3 : 1;
    code = lead & 0x0F;
  } else if (lead >= 0xC2) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0x80) {
    ++*position;
    return kReplacement;
  }
  if (length == 1) {
    ++*position;
    return lead >= 0x80 ? kReplacement : code;
  }
  if (*position + length > text.size()) {
    ++*position;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const uint8_t next = byte(*position + i);
    if ((next & 0xC0) != 0x80) {
      ++*position;
      return kReplacement;
    }
    code = code << 6 | (next & 0x3F);
  }
  *position += length;
  if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return kReplacement;
  return code;
}

void PutUnit(std::vector<uint8_t>* out, uint32_t unit) {
  out->push_back(static_cast<uint8_t>(unit));
  out->push_back(static_cast<uint8_t>(unit >> 8));
}

// Every byte's digit value: the memory lines of a state file are tens of thousands of digits, read
// on every run, and a lookup costs less than three range tests per digit.
constexpr uint8_t kNotHex = 0xFF;
constexpr std::array<uint8_t, 256> kHexValues = [] {
  std::array<uint8_t, 256> values{};
  values.fill(kNotHex);
  for (int digit = 0; digit < 10; ++digit) values['0' + digit] = static_cast<uint8_t>(digit);
  for (int digit = 0; digit < 6; ++digit) {
    values['a' + digit] = static_cast<uint8_t>(10 + digit);
    values['A' + digit] = static_cast<uint8_t>(10 + digit);
  }
  return values;
}();

}  // namespace

std::vector<uint8_t> Utf8ToUtf16Le(const std::string& text) {
  std::vector<uint8_t> out;
  size_t position = 0;
  while (position < text.size()) {
    const uint32_t code = NextCodePoint(text, &position);
    if (code >= 0x10000) {
      PutUnit(&out, 0xD800 + ((code - 0x10000) >> 10));
      PutUnit(&out, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      PutUnit(&out, code);
    }
  }
  PutUnit(&out, 0);
  return out;
}

std::string QuoteText(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (c == '\\' || c == '"') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

bool UnquoteText(const std::string& quoted, std::string* text) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  std::string out;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    const char c = quoted[i];
    if (c == '"') return false;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= quoted.size()) return false;
    const char kind = quoted[++i];
    if (kind == '\\' || kind == '"') {
      out += kind;
    } else if (kind == 'x' && i + 3 < quoted.size() && HexValue(quoted[i + 1]) >= 0 &&
               HexValue(quoted[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(quoted[i + 1]) << 4 | HexValue(quoted[i + 2]));
      i += 2;
    } else {
      return false;
    }
  }
  *text = out;
  return true;
}

int HexValue(char c) {
  const uint8_t value = kHexValues[static_cast<uint8_t>(c)];
  return value == kNotHex ? -1 : value;
}

// A word's pairs are decoded until a character that is no digit: a blank or a tab (whose values
// are not digits either) ends the word, anything else makes it invalid. A firmware's line is a
// word of thousands of digits, so the loop over its pairs tests nothing but the digits.
bool DecodeHexWords(std::string_view text, uint8_t* bytes, size_t room, size_t* count) {
  const auto* next = reinterpret_cast<const uint8_t*>(text.data());
  const uint8_t* const end = next + text.size();
  uint8_t* out = bytes;
  uint8_t* const out_end = bytes + room;
  while (next < end) {
    const size_t pairs =
        std::min(static_cast<size_t>(end - next) / 2, static_cast<size_t>(out_end - out));
    for (const uint8_t* const stop = next + 2 * pairs; next != stop; next += 2) {
      const unsigned high = kHexValues[next[0]];
      const unsigned low = kHexValues[next[1]];
      if ((high | low) > 0xF) break;
      *out++ = static_cast<uint8_t>(high << 4 | low);
    }
    if (next == end) break;
    // A pair of digits left with no room for its byte, or a word of odd length: a digit followed
    // by a blank, or by the end.
    if (*next != ' ' && *next != '\t') return false;
    ++next;
  }
  *count = static_cast<size_t>(out - bytes);
  return true;
}

}  // namespace emu
