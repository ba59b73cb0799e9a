// ini_write_back.h - saving the stepped MAC address and serial number into the INI file they came
// from, for the next board.
#pragma once

#include "config/device_settings.h"
#include "platform/console.h"

// Results of UpdateIniFile besides 0.
constexpr int kUpdateOutOfMemory = 2;
constexpr int kUpdateFileFailed = 3;

// Rewrites the CurrentMacAddress value (as 17 characters "XX:XX:XX:XX:XX:XX") and the
// CurrentSerialNumber value at the positions recorded when the file was loaded. Values of
// unchanged length are overwritten in place; otherwise the whole file is written anew beside the
// old one and renamed over it, so the file is never left half written. Updates the recorded
// positions and lengths. Returns 0, or kUpdateOutOfMemory / kUpdateFileFailed after a message.
int UpdateIniFile(const char* file_name, DeviceSettings& settings, Console& console);
