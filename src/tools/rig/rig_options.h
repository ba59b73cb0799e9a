// rig_options.h - the rig's command line: its own options, then "--" and the utility's options
// that every slot's run gets after its "-X N".
#pragma once

#include <string>
#include <vector>

struct RigOptions {
  std::string adapters = "all";        // -X: the list as given
  bool repeat = false;                 // --repeat: a set after each Enter
  bool document = false;               // -a: one JSON document on standard output
  std::vector<std::string> run_words;  // after "--"
};

enum class RigRequest { kRun, kHelp, kVersion, kBad };

// Reads |words| (without the program's name). kBad with |*why| for a command line the rig
// cannot run: an unknown option, a missing value, nothing after "--", or "-X" among the
// utility's options (the rig chooses the adapter of each run).
RigRequest ParseRigOptions(const std::vector<std::string>& words, RigOptions* options,
                           std::string* why);

// The usage text, ending in a line end.
const char* RigUsage();
