// ini_value.cpp - the value checks and converters shared by all INI sections.
#include "config/user/ini_value.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool HasHexPrefix(const char* text) { return text[0] == '0' && (text[1] == 'x' || text[1] == 'X'); }

}  // namespace

int CheckDecimal(char* text, int max_digits) {
  int count = 0;
  for (; text[count] != '\0'; ++count) {
    if (IsBlank(text[count])) {
      text[count] = '\0';
      break;
    }
    if (!IsDecimalDigit(text[count])) return -1;
  }
  return count > 0 && count <= max_digits ? 0 : -1;
}

int CheckHex(char* text, int max_length) {
  if (!HasHexPrefix(text)) return -1;
  int length = 2;
  for (; text[length] != '\0'; ++length) {
    if (IsBlank(text[length])) {
      text[length] = '\0';
      break;
    }
    if (HexDigitValue(text[length]) < 0) return -1;
  }
  return length <= max_length ? 0 : -1;
}

uint32_t DecimalValue(const char* text) {
  uint32_t value = 0;
  for (; IsDecimalDigit(*text); ++text) value = value * 10 + static_cast<uint32_t>(*text - '0');
  return value;
}

uint32_t HexValue(const char* text) {
  uint32_t value = 0;
  if (HasHexPrefix(text)) text += 2;
  for (int digit = HexDigitValue(*text); digit >= 0; digit = HexDigitValue(*++text)) {
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return value;
}

int ParseHex16(const char* text, uint16_t& result) {
  if (std::strlen(text) > 6 || !HasHexPrefix(text)) return -1;
  uint16_t value = 0;
  for (const char* p = text + 2; *p != '\0' && !IsBlank(*p); ++p) {
    const int digit = HexDigitValue(*p);
    if (digit < 0) return -1;
    value = static_cast<uint16_t>((value << 4) | digit);
  }
  result = value;
  return 0;
}

int ParseMacAddress(const char* text, MacAddress& result) {
  MacAddress address{};
  for (size_t i = 0; i < kMacAddressBytes; ++i) {
    const char* group = text + 3 * i;
    const int high = HexDigitValue(group[0]);
    const int low = high < 0 ? -1 : HexDigitValue(group[1]);
    if (low < 0) return -1;
    address[i] = static_cast<uint8_t>(high << 4 | low);
    const char end = group[2];
    if (i + 1 < kMacAddressBytes ? end != ':' && end != '-' : end != '\0') return -1;
  }
  result = address;
  return 0;
}

int ParseDecimalKey(char* text, int max_digits, KeyState& state, int32_t& field,
                    const char* message, Console& console) {
  if (CheckDecimal(text, max_digits) != 0) {
    console.Error("%s", message);
    state = KeyState::kInvalid;
    return -1;
  }
  field = static_cast<int32_t>(DecimalValue(text));
  state = KeyState::kValid;
  return 0;
}

int ParseEnableDigit(char* text, KeyState& state, int32_t& field, const char* message,
                     Console& console) {
  return ParseDecimalKey(text, 1, state, field, message, console);
}
