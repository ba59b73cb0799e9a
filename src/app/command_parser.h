// command_parser.h - turning argv into the options record and the two request words.
#pragma once

#include "app/command_options.h"
#include "config/ini_state.h"
#include "driver/driver.h"
#include "platform/console.h"

// Parser results besides 0 (run the operation).
constexpr int kParseUsageShown = -5;
constexpr int kParseNoMemory = 2;
constexpr int kParseBadParameters = 3;
constexpr int kParseNoOperation = -1;

// What the parser fills for one run.
struct ParseTarget {
  CommandOptions& options;
  RequestWords& words;
  IniState& ini;
  Console& console;
};

// Parses |argv| into |target|, loading the configuration file when one is named. Returns 0,
// kParseUsageShown, or an error code after printing the error.
int ParseCommandLine(int argc, char** argv, ParseTarget& target);
