// mac_text.cpp - writing a MAC address as text, and reading it back in any usual spelling.
#include "format/mac_text.h"

#include <cstdio>
#include <cstring>

#include "common/hex_digit.h"

std::string MacAddressText(const MacAddress& mac, char separator) {
  char text[kMacAddressTextLength + 1];
  const char s = separator;
  std::snprintf(text, sizeof text, "%02X%c%02X%c%02X%c%02X%c%02X%c%02X", mac[0], s, mac[1], s,
                mac[2], s, mac[3], s, mac[4], s, mac[5]);
  return text;
}

MacAddress MacAddressAt(const uint8_t* bytes) {
  MacAddress mac{};
  std::memcpy(mac.data(), bytes, mac.size());
  return mac;
}

uint64_t MacNumber(const MacAddress& mac) {
  uint64_t number = 0;
  for (const uint8_t octet : mac) number = number << 8 | octet;
  return number;
}

MacAddress MacOfNumber(uint64_t number) {
  MacAddress mac{};
  for (size_t i = mac.size(); i-- > 0; number >>= 8) mac[i] = static_cast<uint8_t>(number);
  return mac;
}

bool ParseMacAddress(std::string_view text, MacAddress* mac) {
  *mac = {};
  size_t digits = 0;
  const size_t first = text.find_first_not_of(" \t");
  const size_t last = text.find_last_not_of(" \t");
  for (size_t i = first; first != std::string_view::npos && i <= last; ++i) {
    const char c = text[i];
    const int value = HexDigitValue(c);
    if (value >= 0) {
      if (digits == 2 * kMacAddressBytes) return false;
      (*mac)[digits / 2] = static_cast<uint8_t>((*mac)[digits / 2] << 4 | value);
      ++digits;
    } else if (c != ':' && c != '-' && c != '.') {
      return false;
    }
  }
  return digits == 2 * kMacAddressBytes;
}

std::string CanonicalMacAddress(const std::string& text) {
  MacAddress mac{};
  return ParseMacAddress(text, &mac) ? MacAddressText(mac) : "";
}
