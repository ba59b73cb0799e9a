// packet_bytes.h - little-endian fields and the IPv4 header length of received packets.
#pragma once

#include <cstdint>

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline void StoreLe16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Four times the low nibble of the first byte.
inline int IpHeaderLength(const uint8_t* packet) { return 4 * (packet[0] & 0x0F); }
