// eeprom_stage.h - the EEPROM stages of a run: settling the EEPROM size, reading and saving it
// (-r), programming and verifying it (-w).
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "common/image_buffer.h"
#include "common/step_result.h"
#include "config/ini_state.h"
#include "driver/driver.h"

constexpr int kFileBaseSize = 20;

// The image a -w run obtained and wrote, kept before stepping patches the next board's identity
// into the working buffer. |length| stays 0 when no image was obtained.
struct ProgrammedImage {
  uint8_t bytes[kImageBufferSize] = {};
  int32_t length = 0;
};

// Settles |options.EepromSize|. Returns 0, or the exit code when the size probe failed.
int SettleEepromSize(Driver& driver, CommandOptions& options);
class IdentityReservation;

// Reads or programs the EEPROM as |options.Operation| says. |file_base| is the default file-name
// base (the chip name) into which a save writes its suffix. A write copies its image into
// |*programmed| when that is given, and passes |reservation| (when given) right before the image
// goes out.
StepResult RunEepromStage(Driver& driver, CommandOptions& options, IniState& ini,
                          char file_base[kFileBaseSize], ProgrammedImage* programmed = nullptr,
                          IdentityReservation* reservation = nullptr);
