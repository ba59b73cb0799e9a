// adapter_address.h - finding the controller's network adapter and its IPv4 address, and the
// check of destination texts.
#pragma once

#include "net/board_mac_address.h"
#include "net/net_run.h"

enum class AdapterLookup {
  kFound,
  kNotFound,  // no adapter of the controller, or it has no address yet: worth asking again
  kRefused,   // the controller's adapter cannot be told among several: asking again cannot help
};

// Finds the controller's adapter (ChooseControllerAdapter, asking |mac| only when several adapters
// are the family's) and takes its unicast addresses in order. kFound when the last one converted
// to text; |*found| then holds it and the adapter's interface index. A refusal prints why.
AdapterLookup FindAdapterAddress(const NetRun& run, ControllerMac& mac, AdapterAddress* found);

// True for a dotted-quad text of four numbers up to 255, at most 15 characters, the first number
// not 0 and the other three not all 0.
bool IsValidIpAddress(const char* text);
