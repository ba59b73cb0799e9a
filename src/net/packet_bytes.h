// packet_bytes.h - the IPv4 header length of received packets.
#pragma once

#include <cstdint>

// Four times the low nibble of the first byte.
inline int IpHeaderLength(const uint8_t* packet) { return 4 * (packet[0] & 0x0F); }
