// mac_text_test.cpp - a MAC address as the text the INI file, the record and the inspector write.
#include <gtest/gtest.h>

#include <string>

#include "format/mac_text.h"

namespace {

TEST(MacAddressText, UpperCaseWithEitherSeparator) {
  const MacAddress mac = {0x00, 0x1A, 0x2b, 0x3C, 0x4D, 0xFE};
  EXPECT_EQ(MacAddressText(mac), "00:1A:2B:3C:4D:FE");
  EXPECT_EQ(MacAddressText(mac, '-'), "00-1A-2B-3C-4D-FE");
}

TEST(CanonicalMacAddress, ReadsAnySpelling) {
  EXPECT_EQ(CanonicalMacAddress("0a-1B:2c.3D4e5F"), "0A:1B:2C:3D:4E:5F");
  EXPECT_EQ(CanonicalMacAddress(" 00:11:22:33:44:55 "), "00:11:22:33:44:55");
  EXPECT_EQ(CanonicalMacAddress("00:11:22:33:44"), "");
  EXPECT_EQ(CanonicalMacAddress("00:11:22:33:44:55:66"), "");
  EXPECT_EQ(CanonicalMacAddress("00:11:22:33:44:5G"), "");
}

}  // namespace
