// adapter_census.h - which adapter indices the driver serves, asked after a request for the
// selected one found no adapter, so that the user learns which indices there are.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/device_io.h"

// Far more controllers than one host holds.
constexpr uint32_t kCensusAdapterLimit = 16;

// The indices below kCensusAdapterLimit for which the driver takes a request: one register-0 read
// each, answered with any status, on the open device. Prints nothing.
std::vector<uint32_t> AdaptersServed(DeviceIo& device);
