// image_builder.h - building the configuration image (EEPROM form, or OTP form with its
// signature and offset bias) from the settings read out of the INI file.
#pragma once

#include <cstdint>

#include "common/image_buffer.h"
#include "config/device_settings.h"
#include "platform/console.h"

enum ImageKind : int { kImageKindEeprom = 1, kImageKindOtp = 2 };

// The chip an image is built for and the bytes it may take.
struct ImageTarget {
  uint32_t chip_id = 0;
  int32_t size = 0;
};

// Builds the EEPROM image (kind 1) after checking that |target.chip_id| is one of the family.
// |image| is a zeroed buffer of kImageBufferSize bytes. Returns 0 and sets |length|, or -1 after
// its messages.
int BuildEepromImage(const DeviceSettings& settings, const ImageTarget& target, uint8_t* image,
                     int32_t* length, Console& console);

// Builds an image of |kind| into the zeroed |image|: the 192-byte head, the strings and the
// optional blocks, within |target.size| bytes. Kind 2 takes byte 0 from the low byte of
// |settings.OtpSignature| and biases its word offsets unless that byte is the lower half's
// signature. Returns 0 and sets |length|, or -1 after its message; the buffer is then only partly
// filled.
int BuildImage(const DeviceSettings& settings, const ImageTarget& target, uint8_t* image,
               ImageKind kind, int32_t* length, Console& console);
