// ini_source_checks.h - the INI file as the source of a write's image and identity, checked in
// the order a run has always met the checks: the file's own sections first, then what keeps one
// identity to one board.
#pragma once

#include "app/command_options.h"
#include "app/run_state.h"
#include "platform/console.h"

// The check an image built from the INI file needs: every required section read, the LPM
// settings agreeing. Returns 0, or after the failure line of the memory the image is for (|otp|)
// the exit code: kExitProgramFailed for the EEPROM, kExitOtpProgramFailed for the OTP.
int ValidateIniImageSource(const RunState& run, bool otp, Console& console);

// Before a -w run sets its identity aside: the image's source validated when the INI file builds
// the image, then, when the run steps the file, a file the run may not write refused, and one
// with other names, since stepping replaces it and they would keep the values handed out.
// Returns 0, or the exit code after its message.
int CheckIniSource(const CommandOptions& options, const RunState& run, Console& console);
