// identity_checks_test.cpp - the identity an INI file hands the next board: an address no board
// may have is refused on every run, a range that is used up only on a run that steps.
#include "app/identity_checks.h"

#include <gtest/gtest.h>

#include "common/exit_codes.h"
#include "support/capture_console.h"

namespace {

DeviceSettings Range(const MacAddress& current, const MacAddress& maximum) {
  DeviceSettings settings;
  settings.CurrentMacAddress = current;
  settings.CurrentMacAddressPresent = 1;
  settings.MaximumMacAddress = maximum;
  settings.CurrentSerialNumber = "0001";
  settings.MaximumSerialNumber = "FFFF";
  return settings;
}

constexpr MacAddress kBoard = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
constexpr MacAddress kBelow = {0x00, 0x11, 0x22, 0x33, 0x44, 0x54};

TEST(CheckIniIdentity, RangeUsedUpIsRefusedOnlyWhenTheRunSteps) {
  DeviceSettings mac_past = Range(kBoard, kBelow);
  DeviceSettings serial_past = Range(kBoard, kBoard);
  serial_past.CurrentSerialNumber = "0002";
  serial_past.MaximumSerialNumber = "0001";
  for (const DeviceSettings* settings : {&mac_past, &serial_past}) {
    CaptureConsole console;
    EXPECT_EQ(CheckIniIdentity(*settings, "board.ini", false, console), 0);
    EXPECT_EQ(console.output(), "");
    EXPECT_EQ(CheckIniIdentity(*settings, "board.ini", true, console), kExitModifyFailed);
    EXPECT_NE(console.output().find("range of board.ini is used up"), std::string::npos);
  }
  CaptureConsole console;
  EXPECT_EQ(CheckIniIdentity(Range(kBoard, kBoard), "board.ini", true, console), 0);
}

TEST(CheckIniIdentity, AddressNoBoardMayHaveIsRefusedOnEveryRun) {
  const MacAddress refused[] = {{0x01, 0x00, 0x5E, 0x00, 0x00, 0x01},
                                {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
                                {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  for (const MacAddress& mac : refused) {
    for (const bool stepping : {false, true}) {
      CaptureConsole console;
      EXPECT_EQ(CheckIniIdentity(Range(mac, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}), "board.ini",
                                 stepping, console),
                kExitModifyFailed);
      EXPECT_NE(console.output().find("is a multicast, broadcast or all-zero address"),
                std::string::npos);
    }
  }
}

}  // namespace
