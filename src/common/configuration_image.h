// configuration_image.h - how the controller's EEPROM and OTP show that they hold a configuration
// image, and where an image keeps the board's MAC address: facts the image builders, the memory
// programming and the network tests all rely on.
#pragma once

#include <cstdint>

// Byte 0 of an image, and of the memory that holds it.
constexpr uint8_t kEepromImageSignature = 0xA5;
constexpr uint8_t kOtpLowerHalfSignature = 0xF3;
constexpr uint8_t kOtpUpperHalfSignature = 0xF7;

// Image byte i (i >= 1) of an upper-half OTP image lies at OTP offset kOtpUpperImageBase + i.
constexpr int kOtpUpperImageBase = 0x100;

// The six bytes of the MAC address, first octet first.
constexpr int kMacAddressOffset = 0x01;
constexpr int kMacAddressLength = 6;
