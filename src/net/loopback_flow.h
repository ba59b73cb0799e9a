// loopback_flow.h - the external loopback stage of a run (-L): set the loopback link, wait for
// it, open the receive filter and run three loopback runs.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "net/net_run.h"

// Exit code of a failed loopback test.
constexpr int kExitLoopbackFailed = 8;

struct LoopbackJob {
  bool link_mode_given;  // -l was given
  int32_t link_mode;     // its link-mode code; 4 (100fd) and 5 (1000fd) are allowed
};

// Returns 0 when the third run passed, else kExitLoopbackFailed. |*source| gets the adapter
// address the lookup found.
int RunLoopbackFlow(Driver& driver, const NetRun& run, const LoopbackJob& job,
                    AdapterAddress* source);
