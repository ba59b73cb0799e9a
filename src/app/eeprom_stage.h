// eeprom_stage.h - the EEPROM stages of a run: settling the EEPROM size, reading and saving it
// (-r), programming and verifying it (-w).
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "app/run_state.h"
#include "common/image_buffer.h"
#include "common/step_result.h"
#include "driver/driver.h"

constexpr int kFileBaseSize = 20;

class IdentityReservation;

// Settles |*eeprom_size|. Returns 0, or the exit code when the size probe failed.
int SettleEepromSize(Driver& driver, const CommandOptions& options, int32_t* eeprom_size);
// Reads or programs the EEPROM as |options.Operation| says. |file_base| is the default file-name
// base (the chip name) into which a save writes its suffix. A write hands its image to
// |*programmed| when that is given, and passes |reservation| (when given) right before the image
// goes out.
StepResult RunEepromStage(Driver& driver, const CommandOptions& options, const RunState& run,
                          char file_base[kFileBaseSize], ImageBuffer* programmed = nullptr,
                          IdentityReservation* reservation = nullptr);
