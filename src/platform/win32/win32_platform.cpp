// win32_platform.cpp - the real Windows services of a run.
#include "platform/platform.h"
#include "platform/stdio_console.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_network.h"

namespace {

class Win32Platform : public SystemPlatform {
 public:
  Platform& Services() override { return services_; }

 private:
  StdioConsole console_;
  Win32DeviceIo device_;
  Win32Clock clock_;
  Win32Network network_;
  Platform services_{console_, device_, clock_, &network_.services()};
};

}  // namespace

std::unique_ptr<SystemPlatform> CreateSystemPlatform() { return std::make_unique<Win32Platform>(); }
