// direct_access.h - reading or writing one controller register, PHY register, PCI configuration
// dword or PCIe PHY register (-R -W -y -Y -e -E -j -J).
#pragma once

#include <cstdint>

#include "driver/driver.h"

enum class DirectAccessTarget { kRegister, kPhy, kPciConfig, kPciePhy };

struct DirectAccessRequest {
  DirectAccessTarget target = DirectAccessTarget::kRegister;
  bool write = false;
  uint32_t address = 0;  // register address, PHY register index, configuration offset
  uint32_t value = 0;    // the value a write stores
};

// What the requests of one access did, for a caller that keeps the values.
struct DirectAccessResult {
  bool written = false;  // a write's request succeeded
  bool read = false;     // the read (or read-back) succeeded, and |value| holds what it read
  uint32_t value = 0;
};

// Runs |request| and prints its one result line; a write is followed by a read-back of the same
// location, sent whether or not the write succeeded. A read that fails prints its driver line and
// no result line. Returns whether every request succeeded; |*result|, when given, gets each
// request's outcome.
bool RunDirectAccess(Driver& driver, const DirectAccessRequest& request,
                     DirectAccessResult* result = nullptr);
