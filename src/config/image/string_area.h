// string_area.h - the string descriptors of an image (manufacturer, product, serial number,
// configuration, interface) and the string table in the head that points at them.
#pragma once

#include <cstdint>
#include <string_view>

#include "config/device_settings.h"
#include "format/image_layout.h"
#include "platform/console.h"

// The five strings in slot order; an absent string gets the pair (0, 0) and no descriptor.
struct ImageStrings {
  std::string_view text[kStringCount];
  bool present[kStringCount] = {};
};

ImageStrings ImageStringsOf(const DeviceSettings& settings);

// Writes the string table and the descriptors from byte |start| on, within |eeprom_size| bytes,
// storing word offsets plus |bias|. Sets |*image_length| to the end of the last descriptor.
// Returns 0, or -1 after its message when a string is too long or the strings do not fit.
int BuildStringArea(const ImageStrings& strings, int32_t eeprom_size, uint8_t bias, uint8_t* image,
                    int start, int32_t* image_length, Console& console);
