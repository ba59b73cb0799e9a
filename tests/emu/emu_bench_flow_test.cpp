// emu_bench_flow_test.cpp - the flow-test bench: runs of the program in-process against its
// adapters, and the state and log it shows.
#include "support/emu_bench.h"

#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/driver_operations.h"
#include "emu/wire_format.h"

namespace {

TEST(EmuBench, RunReadsRegisterZeroOfTheAdapter) {
  EmuBench bench;
  bench.CreateAdapter(0, kChipQnt5231);
  EXPECT_EQ(bench.Run({"-R", "0"}), 0);
  EXPECT_NE(bench.Output().find("Register 0x0 : 0x52310001\n"), std::string::npos)
      << bench.Output();
  ASSERT_FALSE(bench.LogOf(emu::kReadRegister).empty());
  EXPECT_EQ(bench.LogOf(emu::kReadRegister)[0].parameter, 0u);
}

TEST(EmuBench, ServicesDriveTheDeviceAndStateIsLive) {
  EmuBench bench;
  bench.CreateAdapter();
  Platform& services = bench.Services();
  uint32_t error = 0;
  ASSERT_TRUE(services.device.Open(kControlDevicePath, &error));
  Driver driver(services.device, services.console, RequestWords{});
  ASSERT_TRUE(WRITE_REGISTER(driver, 0x200, 0x1234));
  EXPECT_EQ(bench.Register(0x200), 0x1234u);
  ASSERT_TRUE(E2P_WRITE_BYTE(driver, 3, 0xA5));
  EXPECT_EQ(bench.Eeprom()[3], 0xA5);
  int32_t size = 0;
  ASSERT_TRUE(EepromSizeProbe(driver, &size));
  EXPECT_EQ(size, 512);
  bench.ClosePlatform();
  EXPECT_EQ(bench.Register(0x200), 0x1234u);
}

TEST(EmuBench, SizeProbeTellsTheSmallPartApart) {
  EmuBench bench;
  bench.CreateAdapter(0, kChipQnt5230, 256);
  bench.SetEeprom({0x11, 0x22});
  Platform& services = bench.Services();
  uint32_t error = 0;
  ASSERT_TRUE(services.device.Open(kControlDevicePath, &error));
  Driver driver(services.device, services.console, RequestWords{});
  int32_t size = 0;
  ASSERT_TRUE(EepromSizeProbe(driver, &size));
  EXPECT_EQ(size, 256);
  EXPECT_EQ(bench.Eeprom()[0], 0x11);
}

TEST(EmuBench, InjectedFaultsReachTheDriverOperations) {
  EmuBench bench;
  bench.CreateAdapter();
  bench.FailStatus(emu::kReadRegister, 2, 1);
  bench.FailCall(emu::kWriteRegister, 31);
  Platform& services = bench.Services();
  uint32_t error = 0;
  ASSERT_TRUE(services.device.Open(kControlDevicePath, &error));
  Driver driver(services.device, services.console, RequestWords{});
  uint32_t value = 0;
  EXPECT_TRUE(READ_REGISTER(driver, 0, &value));
  EXPECT_FALSE(READ_REGISTER(driver, 0, &value));
  EXPECT_TRUE(READ_REGISTER(driver, 0, &value));
  EXPECT_FALSE(WRITE_REGISTER(driver, 4, 1));
  EXPECT_EQ(bench.TakeOutput(),
            "ERROR: READ_REGISTER failed !    status:Other Error\n"
            "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n");
  const std::vector<emu::LogEntry> writes = bench.LogOf(emu::kWriteRegister);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_TRUE(writes[0].failed);
  EXPECT_EQ(writes[0].error, 31u);
}

}  // namespace
