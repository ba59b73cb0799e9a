// ini_range.h - how many boards an INI file's MAC address and serial number ranges still serve,
// counted as the stepping counts: from the current value by the increment up to the maximum, the
// last value being one whose next value can still be made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/device_settings.h"

struct IdentityRange {
  bool present = false;  // the INI file gives a current value
  std::string current;
  std::string maximum;  // empty when the INI file gives none
  int increment = 0;    // 0: the value does not step, every board gets it
  // Values still to be given, when they can be counted: a serial number counts only as an
  // upper-case hexadecimal text with a maximum of the same length, or none.
  std::optional<uint64_t> left;
};

struct IdentitiesLeft {
  IdentityRange mac;
  IdentityRange serial;
};

IdentitiesLeft CountIdentitiesLeft(const DeviceSettings& settings);

// The MAC addresses an INI file may still give, as 48-bit numbers from |first| to |last|: one when
// it does not step, none when it gives none or its range is used up.
struct MacSpan {
  uint64_t first = 0;
  uint64_t last = 0;
};
std::optional<MacSpan> MacSpanLeft(const DeviceSettings& settings);
