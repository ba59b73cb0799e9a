// network_test.h - one run of a network test: a CPing for the ping's five tries or the loopback
// test's three exchanges.
#pragma once

#include <cstdint>

#include "net/net_run.h"

enum class NetworkTestMode { kPing = 0, kLoopback = 1 };

// Mode kPing pings |address| from the adapter address |source| and prints the outcome; mode
// kLoopback runs loopback exchanges from the adapter |address| on interface |interface_index|,
// without |source|, and prints nothing. True on success.
bool RunNetworkTest(const NetRun& run, const char* address, int32_t interface_index,
                    NetworkTestMode mode, const char* source);
