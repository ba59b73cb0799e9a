// loopback_flow.h - the external loopback stage of a run (-L): set the loopback link, wait for
// it, open the receive filter and run three loopback runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "net/net_run.h"

struct LoopbackJob {
  bool link_mode_given;  // -l was given
  int32_t link_mode;     // its link-mode code; 4 (100fd) and 5 (1000fd) are allowed
};

enum class LoopbackResult {
  kPassed,       // the third run passed
  kFailed,       // no link, no address, a run that failed, the filter not restored
  kSetupFailed,  // a request of the PHY set-up failed; what was changed is given back
};

// |*source| gets the adapter address the lookup found; |*outcomes|, when given, whether each run
// that was made passed; |*setup_fault|, when given, what failed in the PHY set-up.
LoopbackResult RunLoopbackFlow(Driver& driver, const NetRun& run, const LoopbackJob& job,
                               AdapterAddress* source, std::vector<bool>* outcomes = nullptr,
                               std::string* setup_fault = nullptr);
