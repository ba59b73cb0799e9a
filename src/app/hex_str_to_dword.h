// hex_str_to_dword.h - the converter of every hexadecimal command-line argument.
#pragma once

#include <cstdint>

#include "platform/console.h"

// Converts up to ten characters of hexadecimal text ("1234", "0x1234", "1234_5678") to a
// 32-bit value. Returns false after ringing the bell and printing its own error. The value is
// stored even when only the digit count is wrong.
bool HexStrToDword(const char* text, uint32_t* value, Console& console);
