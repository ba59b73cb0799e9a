// system_platform.cpp - the services of the program built for Linux: the process console and the
// emulated adapters of the directory the environment names.
#include <cstdio>
#include <memory>
#include <string>

#include "emu/emu_directory.h"
#include "platform/emu/emu_platform.h"
#include "platform/stdio_console.h"

namespace {

// The console must outlive the platform that refers to it.
class ProcessPlatform : public SystemPlatform {
 public:
  ProcessPlatform() : platform_(emu::EmuDirectoryFromEnvironment(), console_) {}
  // A run that kept a socket, a library or an ARP entry, or that misused the sockets, is said on
  // standard error, as the emulator says a state it could not save.
  ~ProcessPlatform() override {
    for (const std::string& problem : platform_.NetworkProblems()) {
      std::fprintf(stderr, "qnt5200-emu: %s\n", problem.c_str());
    }
  }
  ProcessPlatform(const ProcessPlatform&) = delete;
  ProcessPlatform& operator=(const ProcessPlatform&) = delete;
  Platform& Services() override { return platform_.Services(); }

 private:
  StdioConsole console_;
  EmuPlatform platform_;
};

}  // namespace

std::unique_ptr<SystemPlatform> CreateSystemPlatform() {
  return std::make_unique<ProcessPlatform>();
}
