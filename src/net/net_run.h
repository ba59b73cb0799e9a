// net_run.h - what one network test works with: the network services, the clock and the console,
// and the adapter address that the adapter lookup fills in.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/network_services.h"

struct NetRun {
  NetworkServices& services;
  Clock& clock;
  Console& console;
};

constexpr int kAddressTextSize = 100;

// The controller's adapter as the adapter lookup found it.
struct AdapterAddress {
  char text[kAddressTextSize] = {};  // its IPv4 address as numeric text
  int32_t interface_index = 0;
};
