// little_endian.h - 16- and 32-bit values in byte buffers, least significant byte first, as the
// request block, the statistics record, the driver's wide texts and the images hold them.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint16_t GetLe16(const uint8_t* bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}
inline uint32_t GetLe32(const uint8_t* bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}
inline void PutLe16(uint8_t* bytes, size_t offset, uint32_t value) {
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLe32(uint8_t* bytes, size_t offset, uint32_t value) {
  PutLe16(bytes, offset, value);
  PutLe16(bytes, offset + 2, value >> 16);
}
