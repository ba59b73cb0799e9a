// rig_census.h - what the rig asks the driver before it starts anything: which adapters it
// serves, and the chip of each one the rig is to run on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct RigCensus {
  std::vector<uint32_t> served;
  std::vector<std::string> chips;  // per adapter index below the census limit; "" when unknown
};

// Opens the control device of |platform|, asks, and closes it again (the runs open it
// themselves). False with |*why| when the device cannot be opened.
bool TakeRigCensus(Platform& platform, RigCensus* census, std::string* why);
