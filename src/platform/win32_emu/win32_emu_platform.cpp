// win32_emu_platform.cpp - the services of the Windows test build: the real console, sockets,
// names, IP Helper and process, with the emulated controller and driver behind the device
// service. Under Wine this runs the network tests on real sockets against an adapter whose link
// and registers the emulator keeps. Sleeps and socket waits go by on the adapters' clock, as in
// the Linux build: on virtual time a link delay runs out after the same sleeps on both.
#include "emu/emu_directory.h"
#include "emu/machine.h"
#include "platform/emu/clocked_sockets.h"
#include "platform/emu/emu_platform.h"
#include "platform/platform.h"
#include "platform/stdio_console.h"
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
  EmuClock clock_{machine_};
  Win32Sockets sockets_;
  ClockedSockets clocked_sockets_{sockets_, machine_};
  Win32Names names_;
  Win32IpHelperCalls ip_helper_calls_;
  IpHelperLogic ip_helper_{ip_helper_calls_};
  Win32Process process_;
  NetworkServices network_{clocked_sockets_, names_, ip_helper_, process_};
  Platform services_{console_, device_, clock_, &network_};
};

}  // namespace

std::unique_ptr<SystemPlatform> CreateSystemPlatform() {
  return std::make_unique<Win32EmuPlatform>();
}
