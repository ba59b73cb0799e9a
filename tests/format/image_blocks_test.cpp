// image_blocks_test.cpp - the CRC that the wake-up filter block keeps of its pattern.
#include <gtest/gtest.h>

#include <cstdint>

#include "format/image_blocks.h"

namespace {

TEST(WakeFilterCrc16, ZeroPatternGives7fdf) {
  const uint8_t pattern[128] = {};
  EXPECT_EQ(WakeFilterCrc16(pattern), 0x7FDF);
}

TEST(WakeFilterCrc16, EveryBitOfThePatternCounts) {
  uint8_t pattern[128] = {};
  const uint16_t zero = WakeFilterCrc16(pattern);
  pattern[127] = 0x80;
  const uint16_t last_bit = WakeFilterCrc16(pattern);
  EXPECT_NE(last_bit, zero);
  pattern[127] = 0;
  pattern[0] = 0x01;
  EXPECT_NE(WakeFilterCrc16(pattern), zero);
  EXPECT_NE(WakeFilterCrc16(pattern), last_bit);
}

}  // namespace
