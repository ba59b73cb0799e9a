// system_platform.cpp - the services of the program built for Linux: the process console and the
// emulated adapters of the directory the environment names.
#include <memory>

#include "emu/emu_directory.h"
#include "platform/emu/emu_platform.h"
#include "platform/stdio_console.h"

namespace {

// The console must outlive the platform that refers to it.
class ProcessPlatform : public SystemPlatform {
 public:
  ProcessPlatform() : platform_(emu::EmuDirectoryFromEnvironment(), console_) {}
  Platform& Services() override { return platform_.Services(); }

 private:
  StdioConsole console_;
  EmuPlatform platform_;
};

}  // namespace

std::unique_ptr<SystemPlatform> CreateSystemPlatform() {
  return std::make_unique<ProcessPlatform>();
}
