// image_macs_flow_test.cpp - the MAC addresses a board's memory holds: the EEPROM's, and the OTP's
// lower image and upper image.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/image_macs.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"

namespace {

std::vector<MacAddress> Read(EmuBench& bench, bool otp) {
  Platform& platform = bench.Services();
  uint32_t error = 0;
  EXPECT_TRUE(platform.device.Open(kControlDevicePath, &error));
  CaptureConsole console;
  Driver driver(platform.device, console, RequestWords{});
  std::vector<MacAddress> macs;
  EXPECT_TRUE(ReadImageMacAddresses(driver, otp, 512, &macs));
  platform.device.Close();
  return macs;
}

TEST(ImageMacs, EachImageOfTheMemoryTellsItsMacAddress) {
  EmuBench bench;
  bench.CreateAdapter(0, kChipQnt5231);
  std::vector<uint8_t> memory(512, 0);
  memory[0] = 0xA5;
  for (int i = 0; i < 6; ++i) memory[1 + i] = static_cast<uint8_t>(0x10 + i);
  for (int i = 0; i < 6; ++i) memory[0x101 + i] = static_cast<uint8_t>(0x20 + i);
  bench.SetEeprom(memory);
  const MacAddress lower = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15};
  const MacAddress upper = {0x20, 0x21, 0x22, 0x23, 0x24, 0x25};
  EXPECT_EQ(Read(bench, false), (std::vector<MacAddress>{lower}));

  memory[0] = 0xF3;  // the lower image alone: what lies above is no image's
  bench.SetOtp(memory);
  EXPECT_EQ(Read(bench, true), (std::vector<MacAddress>{lower}));
  memory[0] = 0xF7;
  bench.SetOtp(memory);
  EXPECT_EQ(Read(bench, true), (std::vector<MacAddress>{lower, upper}));
  EXPECT_EQ(bench.LogOf(kCmdOtpReadBlock).size(), 2u);  // one read a run
}

}  // namespace
