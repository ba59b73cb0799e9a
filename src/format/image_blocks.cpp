// image_blocks.cpp - the CRC that the wake-up filter block keeps of its pattern.
#include "format/image_blocks.h"

uint16_t WakeFilterCrc16(const uint8_t pattern[kFilterPatternBytes]) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < kFilterPatternBytes; ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      const bool data_bit = (pattern[i] >> bit) & 1;
      const bool top_bit = (crc >> 15) & 1;
      crc = static_cast<uint16_t>(crc << 1);
      if (data_bit != top_bit) crc ^= 0x8005;
    }
  }
  return crc;
}
