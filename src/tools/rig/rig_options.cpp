// rig_options.cpp - reading the rig's command line.
#include "tools/rig/rig_options.h"

RigRequest ParseRigOptions(const std::vector<std::string>& words, RigOptions* options,
                           std::string* why) {
  if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) return RigRequest::kHelp;
  if (words.size() == 1 && words[0] == "--version") return RigRequest::kVersion;
  size_t next = 0;
  for (; next < words.size() && words[next] != "--"; ++next) {
    const std::string& word = words[next];
    if (word == "--repeat") {
      options->repeat = true;
    } else if (word == "-a") {
      options->document = true;
    } else if (word == "-X" && next + 1 < words.size() && words[next + 1] != "--") {
      options->adapters = words[++next];
    } else {
      *why = word == "-X" ? "-X needs a list of adapters (0-3,6 or all)"
                          : "unknown option \"" + word + "\"";
      return RigRequest::kBad;
    }
  }
  if (next + 1 >= words.size()) {
    *why = "the utility's options are missing: give them after \"--\"";
    return RigRequest::kBad;
  }
  options->run_words.assign(words.begin() + static_cast<long>(next) + 1, words.end());
  for (const std::string& word : options->run_words) {
    if (word == "-X") {
      *why = "-X after \"--\": the rig gives each run its adapter; name the adapters before \"--\"";
      return RigRequest::kBad;
    }
  }
  return RigRequest::kRun;
}

const char* RigUsage() {
  return "Usage: qnt5200-rig [-X ADAPTERS] [--repeat] [-a] -- OPTIONS OF 5200WinCmd\n"
         "Runs \"5200WinCmd -X N OPTIONS\" for every adapter N named, all at once, each as a\n"
         "process of its own with its output in rig-<time>/adapter-N.log, shows what each run\n"
         "is doing and ends with one summary and one exit code.\n"
         "  -X ADAPTERS  indices and ranges, \"0-3,6\", or \"all\" the driver serves (default)\n"
         "  --repeat     after a set, Enter runs the same slots again with the next boards;\n"
         "               q (or the end of the input) stops\n"
         "  -a           one JSON document on standard output holding each run's own (-a)\n"
         "Ctrl+C starts no further run, lets the running ones end, then prints the summary.\n"
         "Exit codes:\n"
         "  0  every run ended with 0\n"
         "  N  the exit code of the first slot (in the order of the adapters) that did not end\n"
         "     with 0; 1 for an adapter the driver does not serve or a run that could not be\n"
         "     started, 128 + the signal for a run a signal ended (on Linux)\n"
         "  1  no control device\n"
         "  3  a bad command line, or the log folder not made\n";
}
