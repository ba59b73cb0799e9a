// stepping_increment_test.cpp - counting the MAC address and the serial number from board to
// board, and the overflow and maximum checks of a step.
#include <gtest/gtest.h>

#include <string>

#include "config/stepping/identity_step.h"
#include "support/capture_console.h"

namespace {

TEST(IncrementMac, CarriesThroughEveryOctet) {
  struct Case {
    MacAddress before;
    int32_t step;
    MacAddress after;
    int overflow;
  };
  const Case cases[] = {
      {{0x00, 0x11, 0x22, 0x33, 0x44, 0xFE}, 3, {0x00, 0x11, 0x22, 0x33, 0x45, 0x01}, 0},
      {{0x00, 0x11, 0x22, 0xFF, 0xFF, 0xFF}, 1, {0x00, 0x11, 0x23, 0x00, 0x00, 0x00}, 0},
      {{0x00, 0x11, 0x22, 0x33, 0x44, 0x00}, 255, {0x00, 0x11, 0x22, 0x33, 0x44, 0xFF}, 0},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 1, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 1},
  };
  for (const Case& c : cases) {
    CaptureConsole console;
    MacAddress mac = c.before;
    EXPECT_EQ(IncrementMac(mac.data(), c.step, console), c.overflow);
    EXPECT_EQ(mac, c.after);
    EXPECT_EQ(console.output(), "");
  }
}

TEST(IncrementMac, StepAbove255IsRefusedAndLeavesTheAddress) {
  CaptureConsole console;
  MacAddress mac = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(IncrementMac(mac.data(), 256, console), 0);
  EXPECT_EQ(mac, (MacAddress{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(console.output(), "ERROR: Mac address increment cannot exceed 255\n");
}

TEST(IncrementSerial, CountsInUpperCaseHexadecimalOfFixedLength) {
  struct Case {
    const char* before;
    int32_t step;
    const char* after;
    int overflow;
  };
  const Case cases[] = {
      {"0009", 1, "000A", 0}, {"00FF", 1, "0100", 0}, {"0F9F", 1, "0FA0", 0},
      {"A9FF", 1, "AA00", 0}, {"FFFF", 1, "0000", 1}, {"7", 9, "0", 1},
      {"1f", 1, "20", 0},     {"FF", 1, "00", 1},     {"", 5, "", 0},
      {"0FFF", 1, "1000", 0}, {"00fe", 2, "0100", 0}, {"000000000001", 255, "000000000100", 0},
      {"E", 1, "F", 0},
  };
  for (const Case& c : cases) {
    CaptureConsole console;
    std::string serial = c.before;
    EXPECT_EQ(IncrementSerial(serial, c.step, console), c.overflow) << c.before;
    EXPECT_EQ(serial, c.after) << c.before;
  }
}

TEST(IncrementSerial, StepAbove255IsRefusedAndLeavesTheText) {
  CaptureConsole console;
  std::string serial = "0001";
  EXPECT_EQ(IncrementSerial(serial, 300, console), 0);
  EXPECT_EQ(serial, "0001");
  EXPECT_EQ(console.output(), "ERROR: Serial number increment cannot exceed 255\n");
}

TEST(IncrementSerial, NonHexadecimalLastDigitsAreRefused) {
  CaptureConsole console;
  std::string serial = "SN-0Z";
  EXPECT_EQ(IncrementSerial(serial, 1, console), 2);
  EXPECT_EQ(serial, "SN-0Z");
  EXPECT_EQ(console.output(), "ERROR: Serial number SN-0Z is not a hexadecimal number\n");
}

TEST(IncrementSerial, CarryIntoACharacterWithNoPrintableSuccessorIsRefused) {
  // 0xFF would become NUL and '~' would become DEL; '/' still becomes '0' and carries on.
  for (const char* text : {"\xFF"
                           "FF",
                           "A~FF",
                           "\x10"
                           "FF"}) {
    CaptureConsole console;
    std::string serial = text;
    EXPECT_EQ(IncrementSerial(serial, 1, console), 2) << text;
    EXPECT_NE(console.output().find("cannot be stepped: character"), std::string::npos);
    EXPECT_EQ(serial[0], text[0]);
  }
  CaptureConsole console;
  std::string serial = "1/FF";
  EXPECT_EQ(IncrementSerial(serial, 1, console), 0);
  EXPECT_EQ(serial, "2000");
}

DeviceSettings Board(MacAddress mac, MacAddress maximum, int32_t mac_step, const char* serial,
                     const char* maximum_serial, int32_t serial_step) {
  DeviceSettings s;
  s.CurrentMacAddress = mac;
  s.MaximumMacAddress = maximum;
  s.MacAddressIncrement = mac_step;
  s.CurrentSerialNumber = serial;
  if (maximum_serial != nullptr) s.MaximumSerialNumber = maximum_serial;
  s.SerialNumberIncrement = serial_step;
  return s;
}

constexpr MacAddress kMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
constexpr MacAddress kNextMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x56};
constexpr MacAddress kHighMac = {0x00, 0x11, 0x22, 0x33, 0xFF, 0xFF};

TEST(StepIdentity, StepsBothValuesWithinTheirMaximums) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kHighMac, 1, "0001", "FFFF", 1);
  EXPECT_EQ(StepIdentity(s, console), 1);
  EXPECT_EQ(s.CurrentMacAddress, kNextMac);
  EXPECT_EQ(*s.CurrentSerialNumber, "0002");
  EXPECT_EQ(console.output(), "");
}

TEST(StepIdentity, ValuesEqualToTheirMaximumsAreAccepted) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kNextMac, 1, "0001", "0002", 1);
  EXPECT_EQ(StepIdentity(s, console), 1);
  EXPECT_EQ(console.output(), "");
}

TEST(StepIdentity, BothStepsZeroIsAFailure) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kHighMac, 0, "0001", "FFFF", 0);
  EXPECT_EQ(StepIdentity(s, console), 0);
  EXPECT_EQ(s.CurrentMacAddress, kMac);
}

TEST(StepIdentity, SerialStepZeroStepsTheMacAlone) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kHighMac, 1, "0001", "FFFF", 0);
  EXPECT_EQ(StepIdentity(s, console), 1);
  EXPECT_EQ(s.CurrentMacAddress, kNextMac);
  EXPECT_EQ(*s.CurrentSerialNumber, "0001");
}

TEST(StepIdentity, MacAboveItsMaximumStillStepsTheSerialButFails) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kMac, 1, "0001", "FFFF", 1);
  EXPECT_EQ(StepIdentity(s, console), 0);
  EXPECT_EQ(console.output(), "Reach maximum MAC address\n");
  EXPECT_EQ(*s.CurrentSerialNumber, "0002");
}

TEST(StepIdentity, ReportsEachOverflowAndMaximum) {
  struct Case {
    DeviceSettings settings;
    const char* output;
  };
  Case cases[] = {
      {Board({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kHighMac, 1, "0001", "FFFF", 1),
       "MAC address overflow\n"},
      {Board(kMac, kHighMac, 1, "FFFF", "FFFF", 1), "Serial number overflow\n"},
      {Board(kMac, kHighMac, 1, "0010", "000F", 1), "Reach maximum serial number\n"},
      // Byte-wise text comparison: a longer text with the maximum as prefix is greater.
      {Board(kMac, kHighMac, 1, "00010", "0001", 1), "Reach maximum serial number\n"},
  };
  for (Case& c : cases) {
    CaptureConsole console;
    EXPECT_EQ(StepIdentity(c.settings, console), 0) << c.output;
    EXPECT_EQ(console.output(), c.output);
  }
}

TEST(StepIdentity, NoMaximumSerialMeansNoSerialLimit) {
  CaptureConsole console;
  DeviceSettings s = Board(kMac, kHighMac, 1, "FFFE", nullptr, 1);
  EXPECT_EQ(StepIdentity(s, console), 1);
  EXPECT_EQ(*s.CurrentSerialNumber, "FFFF");
}

}  // namespace
