// command_parser.h - turning argv into the options record and the two request words.
#pragma once

#include "app/command_options.h"
#include "common/exit_codes.h"
#include "config/ini_state.h"
#include "driver/driver.h"
#include "platform/console.h"
#include "platform/user_file.h"

// Parser results besides 0 (run the operation): usage shown (the run ends with exit code 0), or
// the exit code of a command-line error (kExitNoMemory, kExitBadParameters, kExitNoOperation).
constexpr int kParseUsageShown = -5;

// What the parser fills for one run.
struct ParseTarget {
  CommandOptions& options;
  RequestWords& words;
  IniState& ini;
  Console& console;
  // With -s, the INI file is locked here from its load on; the caller holds the lock until the
  // run has written the stepped values back. Null: no lock is taken.
  UserFileLock* ini_lock = nullptr;
};

// Parses |argv| into |target|, loading the configuration file when one is named. Returns 0,
// kParseUsageShown, or an error code after printing the error.
int ParseCommandLine(int argc, char** argv, ParseTarget& target);
