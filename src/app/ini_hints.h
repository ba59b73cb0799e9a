// ini_hints.h - the hints on standard error that say where in the INI file the faults its
// messages report lie, "board.ini:12: ...", one line each after the messages.
#pragma once

#include "config/device_settings.h"
#include "config/ini_state.h"
#include "platform/console.h"

// After a load that failed: every place the load found.
void PrintIniLoadHints(const IniState& state, Console& console);
// After the checks before an image is built failed: the sections that were skipped as unknown,
// which are often the ones reported missing misspelt, then the required sections not read, then
// a conflict between keys.
void PrintIniSectionHints(const DeviceSettings& settings, const IniState& state, Console& console);
// After a check of keys against each other failed: where the key it names stands.
void PrintIniConflictHints(const DeviceSettings& settings, const IniState& state, Console& console);
