// adapter_address.h - finding the controller's network adapter and its IPv4 address, and the
// check of destination texts.
#pragma once

#include "net/net_run.h"

// Finds the first adapter whose description contains "QNT52" and takes its unicast addresses in
// order. True when the last one converted to text; |*found| then holds it and the adapter's
// interface index.
bool FindAdapterAddress(const NetRun& run, AdapterAddress* found);

// True for a dotted-quad text of four numbers up to 255, at most 15 characters, the first number
// not 0 and the other three not all 0.
bool IsValidIpAddress(const char* text);
