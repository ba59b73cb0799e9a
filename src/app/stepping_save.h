// stepping_save.h - after a board was programmed: step its MAC address and serial number and
// save them where the next run will find them.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "platform/console.h"

// Steps the identity, patches it into |image| and saves: the two values into the INI file when one
// was given (the identity came from it), else the whole image into the binary file (in the
// 512-byte upper-half form for an OTP image whose byte 0 is 0xF7). Returns 0, or exit code 10
// after its messages; nothing is saved on failure.
int SaveSteppedIdentity(CommandOptions& options, uint8_t* image, Console& console);
