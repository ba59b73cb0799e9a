// otp_space_test.cpp - where a stored lower image ends, judged from its offset tables.
#include <gtest/gtest.h>

#include <cstdint>

#include "nvm/otp_space.h"

namespace {

TEST(StoredImageEnd, GreatestWordOffsetWinsAndTheFirstOfEqualsKeepsIt) {
  uint8_t otp[512] = {};
  otp[0x25] = 34;  // manufacturer string at word 96
  otp[0x26] = 96;
  otp[0x29] = 26;  // serial number at word 113: the last structure
  otp[0x2A] = 113;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 113 + 26);

  // The block table is judged before the string table: of two entries at the same word, the
  // block's length counts.
  otp[0x3D] = 20;
  otp[0x3E] = 113;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 113 + 20);

  otp[0x2F] = 0x16;  // the descriptor table, judged last, may point furthest
  otp[0x30] = 200;
  EXPECT_EQ(StoredImageEnd(otp), 2 * 200 + 0x16);
}

}  // namespace
