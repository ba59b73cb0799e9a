// identity_patch.h - putting a board's MAC address and serial number into an image that is about
// to be programmed or saved.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/device_settings.h"
#include "platform/console.h"

// Results of PatchImageIdentity besides 0.
constexpr int kPatchDoesNotFit = 1;
constexpr int kPatchOutOfMemory = 2;

// Writes |mac| (when given) into image bytes 1 to 6 and |serial| into the serial-number
// descriptor: in place when its length is unchanged, else by rebuilding the string area, moving
// the optional blocks that followed the strings behind the new ones and updating |*image_length|.
// With no serial the serial-number pair is cleared. Works within |eeprom_size| bytes of |image|
// whatever its tables say, and patches nothing past |*image_length|: an identity there would not
// be programmed. Returns 0, or kPatchDoesNotFit after a message when the image is too short for
// it, its tables point outside it or the new layout does not fit.
int PatchImageIdentity(uint8_t* image, int32_t* image_length, const MacAddress* mac,
                       const std::optional<std::string>& serial, int32_t eeprom_size,
                       Console& console);
