// eeprom_size_probe_flow_test.cpp - telling a 256-byte EEPROM from a 512-byte one on the
// emulated adapter, whose smaller part wraps its offsets around as such a part does.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/driver_operations.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"

namespace {

TEST(EepromSizeProbe, TellsTheSizeAndRestoresTheContents) {
  for (uint32_t size : {256u, 512u}) {
    SCOPED_TRACE(size);
    EmuBench bench;
    bench.CreateAdapter(0, kChipQnt5230, size);
    std::vector<uint8_t> before(size, 0x3C);
    before[0] = 0x12;
    if (size == 512) before[256] = 0x34;
    bench.SetEeprom(before);
    Platform& platform = bench.Services();
    uint32_t error = 0;
    ASSERT_TRUE(platform.device.Open(kControlDevicePath, &error));
    CaptureConsole console;
    Driver driver(platform.device, console, RequestWords{});
    int32_t found = 0;
    ASSERT_TRUE(EepromSizeProbe(driver, &found));
    platform.device.Close();
    EXPECT_EQ(found, static_cast<int32_t>(size));
    EXPECT_EQ(bench.Eeprom(), before);
    EXPECT_EQ(console.output(), "");
  }
}

}  // namespace
