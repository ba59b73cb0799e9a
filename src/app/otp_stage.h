// otp_stage.h - the OTP stage of a programming run (-O): reading and saving the OTP (-r), or
// programming it (-w) from a binary file or the INI file, or switching it off.
#pragma once

#include "app/command_options.h"
#include "app/eeprom_stage.h"
#include "app/run_state.h"
#include "common/step_result.h"
#include "driver/driver.h"

// Reads or programs the OTP as |options.Operation| says. |file_base| is the default file-name
// base (the chip name) into which a save writes its suffix. A write hands its image to
// |*programmed| when that is given, and passes |reservation| (when given) right before the image
// goes out.
StepResult RunOtpStage(Driver& driver, const CommandOptions& options, const RunState& run,
                       char file_base[kFileBaseSize], ImageBuffer* programmed = nullptr,
                       IdentityReservation* reservation = nullptr);
