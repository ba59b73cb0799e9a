// otp_stage.h - the OTP stage of a programming run (-O): reading and saving the OTP (-r), or
// programming it (-w) from a binary file or the INI file, with the stepping that follows (-s),
// or switching it off.
#pragma once

#include "app/command_options.h"
#include "app/eeprom_stage.h"
#include "common/step_result.h"
#include "config/ini_state.h"
#include "driver/driver.h"

// Reads or programs the OTP as |options.Operation| says. |file_base| is the default file-name
// base (the chip name) into which a save writes its suffix. A write copies its image into
// |*programmed| when that is given, and passes |reservation| (when given) right before the image
// goes out.
StepResult RunOtpStage(Driver& driver, CommandOptions& options, const IniState& ini,
                       char file_base[kFileBaseSize], ProgrammedImage* programmed = nullptr,
                       IdentityReservation* reservation = nullptr);
