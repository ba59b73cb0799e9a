// eeprom_program.h - programming the EEPROM from a binary file or from the INI configuration
// (-w), and verifying it.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "config/ini_state.h"
#include "driver/driver.h"

// Results of VerifyEeprom besides 0.
constexpr int kVerifyDiffers = 1;
constexpr int kVerifyReadFailed = 5;
constexpr int kVerifyTooLong = 6;

// Obtains the image into the zeroed |image| (kImageBufferSize bytes), writes |options.EepromSize|
// bytes of it and verifies |options.ImageLength| bytes. Returns the exit code: 0, 9 or 10.
int ProgramEeprom(Driver& driver, CommandOptions& options, const IniState& ini, uint8_t* image);

// Reads |length| bytes back from EEPROM offset 0 and compares them with |image|. Returns 0 when
// they match, else one of the results above after its message.
int VerifyEeprom(Driver& driver, const uint8_t* image, int32_t length);
