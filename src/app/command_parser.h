// command_parser.h - turning argv into the options record and the two request words.
#pragma once

#include "app/command_options.h"
#include "common/exit_codes.h"
#include "driver/driver.h"
#include "platform/console.h"

// Parser results besides 0 (run the operation): usage shown (the run ends with exit code 0), or
// the exit code of a command-line error (kExitNoMemory, kExitBadParameters, kExitNoOperation).
constexpr int kParseUsageShown = -5;

// What the parser fills for one run.
struct ParseTarget {
  CommandOptions& options;
  RequestWords& words;
  Console& console;
};

// Parses |argv| into |target|. Returns 0, kParseUsageShown, or an error code after printing the
// error.
int ParseCommandLine(int argc, char** argv, ParseTarget& target);
