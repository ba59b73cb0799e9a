// ini_loader.h - loading the INI configuration file into the settings record, and the checks
// that run on what was loaded.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "config/device_settings.h"
#include "config/ini_state.h"
#include "platform/console.h"

// No configuration file comes near this; a longer "file" is not one.
constexpr size_t kMaxIniFileBytes = 16u << 20;

// Reads the whole file into |settings|, recording key states and section-present flags in
// |state| (which the caller clears once per run). Prints its own messages. Returns 0 on success,
// -1 when the file cannot be opened or read or a section fails; values stored before a failure
// stay in |settings|.
int LoadIniFile(const char* file_name, DeviceSettings& settings, IniState& state, Console& console);

// True when |text| has a line that is the section header |header| ("[MacAddress]"), in any letter
// case and with blanks around it: what makes a file a board's INI description to its user.
bool HoldsIniSection(std::string_view text, std::string_view header);
// The same walk over INI text of |size| bytes already in memory, |name| standing for the file in
// messages. Used where the text does not come from a file of its own.
int LoadIniText(const char* name, const char* text, size_t size, DeviceSettings& settings,
                IniState& state, Console& console);

// The GPIO wake cross-check: every GPIO allowed to wake must be enabled and an input. Runs on
// every parse, also when no file was loaded (cleared settings pass). Returns 0 or -1.
int CheckGpioWake(const DeviceSettings& settings, Console& console);

// Run before an image is built from the INI file: reports every required section that was not
// read without a message, then cross-checks the LPM settings. Returns 0 or -1; the caller prints
// its own failure line.
int ValidateIniSections(const DeviceSettings& settings, const IniState& state, Console& console);

// The keys the two checks above find contradicting each other, at the places the file gave them:
// what a hint beside their messages points at.
std::vector<IniProblem> IniKeyConflicts(const DeviceSettings& settings, const IniState& state);
