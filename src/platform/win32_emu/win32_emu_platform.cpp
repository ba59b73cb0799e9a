// win32_emu_platform.cpp - the services of the Windows test build: the real console, clock,
// sockets, names, IP Helper and process, with the emulated controller and driver behind the
// device service. Under Wine this runs the network tests on real sockets against an adapter
// whose link and registers the emulator keeps.
#include "emu/emu_directory.h"
#include "emu/machine.h"
#include "platform/emu/emu_platform.h"
#include "platform/platform.h"
#include "platform/stdio_console.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_network.h"

namespace {

class Win32EmuPlatform : public SystemPlatform {
 public:
  Win32EmuPlatform() : machine_(emu::EmuDirectoryFromEnvironment()), device_(machine_) {}
  Platform& Services() override { return services_; }

 private:
  StdioConsole console_;
  emu::Machine machine_;
  EmuDeviceIo device_;
  Win32Clock clock_;
  Win32Network network_;
  Platform services_{console_, device_, clock_, &network_.services()};
};

}  // namespace

std::unique_ptr<SystemPlatform> CreateSystemPlatform() {
  return std::make_unique<Win32EmuPlatform>();
}
