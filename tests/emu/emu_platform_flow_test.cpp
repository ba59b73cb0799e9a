// emu_platform_flow_test.cpp - the emulation platform's device and clock services.
#include "platform/emu/emu_platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "emu/emu_clock.h"
#include "emu/wire_format.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"
#include "support/run_program.h"

namespace {

constexpr char kDevice[] = "\\\\.\\QNT5200_IOCTL";

TEST(EmuPlatform, OpensOnlyTheControlDeviceOfAnAdapterDirectory) {
  EmuBench bench;
  CaptureConsole console;
  EmuPlatform empty(bench.dir(), console);
  uint32_t error = 0;
  EXPECT_FALSE(empty.Services().device.Open(kDevice, &error));
  EXPECT_EQ(error, kErrorFileNotFound);

  bench.CreateAdapter();
  EmuPlatform platform(bench.dir(), console);
  EXPECT_FALSE(platform.Services().device.Open("\\\\.\\OTHER", &error));
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_TRUE(platform.Services().device.Open(kDevice, &error));
}

TEST(EmuPlatform, VirtualClockDrivesTickCountAndPerformanceCounter) {
  EmuBench bench;
  bench.CreateAdapter();
  CaptureConsole console;
  EmuPlatform platform(bench.dir(), console);
  uint32_t error = 0;
  ASSERT_TRUE(platform.Services().device.Open(kDevice, &error));
  Clock& clock = platform.Services().clock;
  const uint32_t ticks = clock.GetTickCount();
  const int64_t counter = clock.QueryPerformanceCounter();
  int64_t frequency = 0;
  ASSERT_TRUE(clock.QueryPerformanceFrequency(&frequency));
  clock.Sleep(3000);
  EXPECT_EQ(clock.GetTickCount() - ticks, 3000u);
  EXPECT_EQ((clock.QueryPerformanceCounter() - counter) * 1000 / frequency, 3000);
}

TEST(EmuPlatform, RealClockFollowsTheWallClock) {
  EmuBench bench;
  bench.CreateAdapter();
  bench.Update([](emu::AdapterState& s) { s.clock = emu::ClockMode::kReal; });
  CaptureConsole console;
  EmuPlatform platform(bench.dir(), console);
  uint32_t error = 0;
  ASSERT_TRUE(platform.Services().device.Open(kDevice, &error));
  EXPECT_TRUE(platform.machine().RealTime());
  EXPECT_LE(emu::WallClockMs() - platform.machine().NowMs(), 1000);
}

// A state that cannot be saved when the device closes is reported, not lost without a word; the
// request log is written out all the same.
TEST(EmuPlatform, AFailedSaveAtCloseIsReportedOnStandardError) {
  EmuBench bench;
  bench.CreateAdapter();
  CaptureConsole console;
  EmuPlatform platform(bench.dir(), console);
  uint32_t error = 0;
  ASSERT_TRUE(platform.Services().device.Open(kDevice, &error));
  uint8_t block[emu::kBlockSize] = {};
  emu::Store32(block + emu::kFieldSignature, emu::kSignatureAdapterZero);
  emu::Store32(block + emu::kFieldCommand, emu::kWriteRegister);
  emu::Store32(block + emu::kFieldParameter, 0x100);
  emu::Store32(block + emu::kFieldData, 0x1234);
  uint32_t returned = 0;
  ASSERT_TRUE(platform.Services().device.Control(emu::kControlCode, block, 20, block, sizeof block,
                                                 &returned, &error));
  // A directory in the state file's place: nothing can be renamed over it.
  const std::string path = bench.dir() + "/adapter0.state";
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  WriteFileText(path + "/keep", "");
  ::testing::internal::CaptureStderr();
  platform.Services().device.Close();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "qnt5200-emu: " + path + ": cannot be written\n");
  EXPECT_EQ(console.output(), "");
  ASSERT_EQ(bench.Log().size(), 1u);
  EXPECT_EQ(bench.Log()[0].data, 0x1234u);
}

}  // namespace

namespace {

std::string StateText(const EmuBench& bench) {
  return ReadFileText(bench.dir() + "/adapter0.state");
}

}  // namespace

TEST(EmuPlatform, ClosingWritesTheStateOnlyWhenItChanged) {
  EmuBench bench;
  bench.CreateAdapter();
  const std::string path = bench.dir() + "/adapter0.state";
  // A marker the emulator would drop if it rewrote the file.
  WriteFileText(path, StateText(bench) + "# untouched\n");

  ASSERT_EQ(bench.Run({"-R", "0"}), 0);
  EXPECT_NE(StateText(bench).find("# untouched"), std::string::npos);

  ASSERT_EQ(bench.Run({"-W", "14", "-v", "77"}), 0);
  EXPECT_EQ(StateText(bench).find("# untouched"), std::string::npos);
  EXPECT_EQ(bench.Register(0x14), 0x77u);
}
