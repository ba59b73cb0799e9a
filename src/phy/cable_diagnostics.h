// cable_diagnostics.h - the PHY's pair-scan cable test (-V): each of the four pairs is tested in
// turn and reported with its status and the distance to a fault or the failure byte.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/driver.h"
#include "platform/clock.h"

// One pair's test as the diagnostic register told it.
struct CablePairResult {
  char pair = 'A';
  bool complete = false;        // the test finished; false after the timeout
  uint16_t register_value = 0;  // the last value read
  int status = 0;               // 0 normal, 1 open, 2 shorted, 3 failed (when complete)
  int distance_m = 0;           // to the fault, for open and shorted pairs
};

// What the test found, for a caller that keeps the values.
struct CableReport {
  std::vector<CablePairResult> pairs;  // in test order; pairs never started are absent
  bool aborted = false;                // a PHY access failed and the test stopped
  bool restored = false;               // the PHY was put back as it was found
};

// Runs the cable test on pairs A to D with the PHY forced to 1000 Mb/s slave. A link that is up
// is taken down first (the driver's link state too). On every path that changed the PHY,
// registers 9 and 0 are put back and checked, and the driver's link state is set up again if the
// test set it down. Returns true when every pair gave a result (open and shorted pairs included)
// and the PHY was left as it was found; false when the test aborted, a pair timed out or showed
// the Failed status, a request failed, or the restore did not hold. |*report|, when given, gets
// each pair's result.
bool RunCableDiagnostics(Driver& driver, Clock& clock, CableReport* report = nullptr);
