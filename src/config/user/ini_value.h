// ini_value.h - checking and converting the values of INI keys.
#pragma once

#include <cstdint>

#include "common/hex_digit.h"
#include "config/device_settings.h"
#include "config/ini_state.h"
#include "platform/console.h"

// 0 when |text| is a decimal number of 1 to |max_digits| digits, ended by its end or by a blank
// or tab (the text is cut there); -1 otherwise.
int CheckDecimal(char* text, int max_digits);

// 0 when |text| is "0x" or "0X" followed by hexadecimal digits, ended by its end or by a blank or
// tab (cut there), at most |max_length| characters with the prefix; -1 otherwise.
int CheckHex(char* text, int max_length);

// The value of a text that passed CheckDecimal or CheckHex. The prefix alone gives 0.
uint32_t DecimalValue(const char* text);
uint32_t HexValue(const char* text);

// A 16-bit hexadecimal value: the whole text, at most 6 characters, "0x" or "0X" then digits,
// which a blank or tab may end. Returns 0 or -1; |result| is written only on success.
int ParseHex16(const char* text, uint16_t& result);

// Six groups of two hexadecimal digits, each of the first five followed by ":" or "-", and
// nothing after the sixth. Returns 0 or -1; |result| is written only on success.
int ParseMacAddress(const char* text, MacAddress& result);

// The reader of a decimal key of up to |max_digits| digits: on a format error prints "ERROR: "
// and |message|, marks the key invalid and returns -1; otherwise stores the value, marks the key
// valid and returns 0. The range is the caller's to check.
int ParseDecimalKey(char* text, int max_digits, KeyState& state, int32_t& field,
                    const char* message, Console& console);

// ParseDecimalKey for the one-digit enable and select keys.
int ParseEnableDigit(char* text, KeyState& state, int32_t& field, const char* message,
                     Console& console);
