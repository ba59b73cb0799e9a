// mac_text.h - a MAC address as bytes and as the text that INI files, the per-board record and
// the image inspector write: "XX:XX:XX:XX:XX:XX", upper case.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kMacAddressBytes = 6;
constexpr int kMacAddressTextLength = 17;

using MacAddress = std::array<uint8_t, kMacAddressBytes>;  // first octet first

// "00:11:22:33:44:55"; the network tests name an adapter's address with '-' as the system does.
std::string MacAddressText(const MacAddress& mac, char separator = ':');

// The MAC address at |bytes|, first octet first.
MacAddress MacAddressAt(const uint8_t* bytes);

// The address as a 48-bit number, first octet most significant, so that addresses sort and
// count as numbers; and back.
uint64_t MacNumber(const MacAddress& mac);
MacAddress MacOfNumber(uint64_t number);

// Reads a MAC address written with ':', '-', '.' or no separators in either case, blanks around
// it allowed; false when |text| is no MAC address.
bool ParseMacAddress(std::string_view text, MacAddress* mac);

// The canonical text of a MAC address written with ':', '-', '.' or no separators in either case,
// blanks around it allowed; empty when |text| is no MAC address.
std::string CanonicalMacAddress(const std::string& text);
