// main.cpp - the process entry: the system's services, then one run; --help and --version, the
// answers every command-line program gives, are taken here only when each is the whole command
// line, so every other command line is read exactly as the utility always read it.
#include <cstdio>
#include <cstring>

#include "app/banner.h"
#include "app/main_flow.h"
#include "app/usage.h"
#include "common/exit_codes.h"
#include "version/build_version.h"

namespace {

bool IsWholeCommandLine(int argc, char** argv, const char* option) {
  return argc == 2 && std::strcmp(argv[1], option) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (IsWholeCommandLine(argc, argv, "--version")) {
    std::printf("%s\n", VersionLine("5200WinCmd").c_str());
    return kExitSuccess;
  }
  const auto system = CreateSystemPlatform();
  if (IsWholeCommandLine(argc, argv, "--help")) {
    // What -h shows, then what a station's script needs to read the run's end.
    Console& console = system->Services().console;
    PrintBanner(console);
    PrintUsage(argv[0], console);
    PrintExitCodes(console);
    return kExitSuccess;
  }
  return RunMain(argc, argv, system->Services());
}
