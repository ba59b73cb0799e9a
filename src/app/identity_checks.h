// identity_checks.h - the identity an INI file hands the next board, checked before the board is
// touched: a MAC address no network can carry, or a range that is used up, is never programmed.
#pragma once

#include "config/device_settings.h"
#include "platform/console.h"

// Returns 0, or kExitModifyFailed after a message that says what to correct in |ini_name|.
int CheckIniIdentity(const DeviceSettings& settings, const char* ini_name, Console& console);
