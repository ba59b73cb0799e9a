// identity_checks.h - the identity an INI file hands the next board, checked before the board is
// touched: a MAC address no network can carry is never programmed, nor, on a run that steps, one
// past the end of its range.
#pragma once

#include "config/device_settings.h"
#include "platform/console.h"

// Returns 0, or kExitModifyFailed after a message that says what to correct in |ini_name|. The
// maximums bound what stepping hands out, so they count only when the run steps (|stepping|).
int CheckIniIdentity(const DeviceSettings& settings, const char* ini_name, bool stepping,
                     Console& console);
