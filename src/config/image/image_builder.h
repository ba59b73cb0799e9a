// image_builder.h - building the configuration image (EEPROM form, or OTP form with its
// signature and offset bias) from the settings read out of the INI file.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "config/device_settings.h"
#include "config/image/image_layout.h"
#include "platform/console.h"

// Builds the EEPROM image (kind 1) after checking that the chip is one of the family. |image| is a
// zeroed buffer of kImageBufferSize bytes. Returns 0 and sets |options.ImageLength|, or -1 after
// its messages.
int BuildEepromImage(const DeviceSettings& settings, CommandOptions& options, uint8_t* image,
                     Console& console);

// Builds an image of |kind| into the zeroed |image|: the 192-byte head, the strings and the
// optional blocks, within |options.EepromSize| bytes. Kind 2 takes byte 0 from the low byte of
// |settings.OtpSignature| and biases its word offsets by 0x80 unless that byte is 0xF3. Returns 0
// and sets |options.ImageLength|, or -1 after its message; the buffer is then only partly filled.
int BuildImage(const DeviceSettings& settings, CommandOptions& options, uint8_t* image,
               ImageKind kind, Console& console);

// True for the chip IDs of the family (0x5230, 0x5231, 0x523F).
bool IsKnownChipId(uint32_t chip_id);
