// ini_range.cpp - the values left between an INI file's current values and their maximums.
#include "tools/record/ini_range.h"

#include <algorithm>

#include "common/hex_digit.h"
#include "format/mac_text.h"

namespace {

constexpr uint64_t kLastMacNumber = (uint64_t{1} << 48) - 1;
constexpr size_t kHexDigitsIn64Bits = 16;

// The values current, current + step, ... up to |last|.
uint64_t ValuesUpTo(uint64_t current, uint64_t last, uint64_t step) {
  return last < current ? 0 : (last - current) / step + 1;
}

// An upper-case hexadecimal text as a number; false for any other text.
bool HexNumber(const std::string& text, uint64_t* number) {
  if (text.empty() || text.size() > kHexDigitsIn64Bits) return false;
  *number = 0;
  for (const char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || (c >= 'a' && c <= 'f')) return false;
    *number = *number << 4 | static_cast<uint64_t>(digit);
  }
  return true;
}

// A board is given a value only when the value after it can be made: the step that would go past
// the last number of the value's width stops the run before the board is touched.
uint64_t LastSteppable(uint64_t last_number, uint64_t step) {
  return last_number < step ? 0 : last_number - step;
}

uint64_t LastMacLeft(const DeviceSettings& s) {
  const auto step = static_cast<uint64_t>(s.MacAddressIncrement);
  return std::min(MacNumber(s.MaximumMacAddress), LastSteppable(kLastMacNumber, step));
}

IdentityRange MacRange(const DeviceSettings& s) {
  IdentityRange range{.present = s.CurrentMacAddressPresent != 0,
                      .increment = s.MacAddressIncrement};
  if (!range.present) return range;
  range.current = MacAddressText(s.CurrentMacAddress);
  range.maximum = MacAddressText(s.MaximumMacAddress);
  if (s.MacAddressIncrement <= 0) return range;  // not stepped: the same on every board
  range.left = ValuesUpTo(MacNumber(s.CurrentMacAddress), LastMacLeft(s),
                          static_cast<uint64_t>(s.MacAddressIncrement));
  return range;
}

IdentityRange SerialRange(const DeviceSettings& s) {
  IdentityRange range{.present = s.CurrentSerialNumber.has_value(),
                      .increment = s.SerialNumberIncrement};
  if (!range.present) return range;
  range.current = *s.CurrentSerialNumber;
  range.maximum = s.MaximumSerialNumber.value_or("");
  if (s.SerialNumberIncrement <= 0) return range;  // the same on every board: nothing runs out
  uint64_t current = 0;
  uint64_t maximum = 0;
  const size_t width = range.current.size();
  if (!HexNumber(range.current, &current) ||
      (s.MaximumSerialNumber &&
       (range.maximum.size() != width || !HexNumber(range.maximum, &maximum)))) {
    return range;
  }
  const uint64_t last_number =
      width == kHexDigitsIn64Bits ? ~uint64_t{0} : (uint64_t{1} << (4 * width)) - 1;
  const auto step = static_cast<uint64_t>(s.SerialNumberIncrement);
  uint64_t last = LastSteppable(last_number, step);
  if (s.MaximumSerialNumber) last = std::min(last, maximum);
  range.left = last_number < step ? 0 : ValuesUpTo(current, last, step);
  return range;
}

}  // namespace

IdentitiesLeft CountIdentitiesLeft(const DeviceSettings& settings) {
  return {.mac = MacRange(settings), .serial = SerialRange(settings)};
}

std::optional<MacSpan> MacSpanLeft(const DeviceSettings& settings) {
  if (settings.CurrentMacAddressPresent == 0) return std::nullopt;
  const uint64_t current = MacNumber(settings.CurrentMacAddress);
  if (settings.MacAddressIncrement <= 0) return MacSpan{.first = current, .last = current};
  const uint64_t last = LastMacLeft(settings);
  if (last < current) return std::nullopt;
  return MacSpan{.first = current, .last = last};
}
