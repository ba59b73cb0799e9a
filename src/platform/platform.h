// platform.h - the operating system's services, as one run of the utility sees them.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/device_io.h"
#include "platform/network_services.h"

// The services of one run. The referenced objects outlive the run.
struct Platform {
  Console& console;
  DeviceIo& device;
  Clock& clock;
  // Only the network tests use these; both systems' platforms provide them.
  NetworkServices* network = nullptr;
};

// The services of the system the program was built for: the real ones on Windows, the emulated
// controller and driver elsewhere.
class SystemPlatform {
 public:
  virtual ~SystemPlatform() = default;
  virtual Platform& Services() = 0;
};

std::unique_ptr<SystemPlatform> CreateSystemPlatform();
