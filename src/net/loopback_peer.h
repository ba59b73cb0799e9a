// loopback_peer.h - the made-up neighbour of the loopback test: its address beside the adapter's
// and the static ARP entry that sends its frames out of the port.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/network_services.h"

// Room for any peer text: the 15 characters of an own address, up to its last dot, plus "22".
constexpr int kPeerAddressSize = 20;

// The own address |own| with the number after its last dot replaced by 22, or by 21 when it is
// 22. False, leaving |peer| empty, unless |own| is at most 15 characters of digits and dots with
// exactly three dots.
bool GetLoopbackPeerAddress(const char* own, char peer[kPeerAddressSize]);

// The six bytes of a physical-address text such as "00-aa-bb-cc-dd-ee": pairs of hexadecimal
// digits (either case), one separator character between pairs.
bool ParsePhysicalAddress(const char* text, uint8_t physical[6]);

// The IPv4 address table; returns the IP Helper result.
uint32_t GetIpAddressTable(IpHelper& ip_helper, std::vector<IpAddressRow>* rows);

// Adds the static entry for |peer| pointing at the made-up physical address, on interface
// |interface_index| or, when that is 0, on the first interface of the address table. Silent.
void CreateArpEntry(const NetworkServices& services, const char* peer, int32_t interface_index);
// Removes that entry from the interface CreateArpEntry chose for the same arguments. Silent.
void DeleteArpEntry(const NetworkServices& services, const char* peer, int32_t interface_index);
