// firmware_fault_sweep_flow_test.cpp - every request of each download mode, failed in each way a
// driver can fail it, on an MCU that holds an older load. Whatever "COMPLETED!" announces is in
// the MCU; a download that succeeds left the MCU exactly as commanded, in every byte of its
// memories; every other one fails (the run then ends with 6). The downloads run on one open device,
// which keeps the sweep fast.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "emu/mcu_model.h"
#include "phy/firmware_download.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"
#include "support/request_faults.h"

namespace {

constexpr uint32_t kImageBase = 0x5000;
constexpr uint32_t kParametersBase = 0x4C00;
constexpr uint32_t kOverlayBase = 0x0840;
constexpr uint16_t kTableB[20] = {0x8800, 0x8881, 0x8902, 0x8983, 0x0004, 0x0085, 0x0106,
                                  0x0187, 0x0208, 0x0289, 0x030A, 0x038B, 0x040C, 0x048D,
                                  0x050E, 0x058F, 0x0610, 0x0691, 0x0712, 0x0793};
const std::vector<uint8_t> kFile = {0x3C, 0xA7, 0x5E};

struct Mode {
  FirmwareMode mode;
  const char* name;
  bool loads;       // the preamble, the tables and the download
  uint32_t base;    // where the file goes in XDATA
  bool reads_prog;  // verified in program memory, else (when it verifies) in XDATA
};

constexpr Mode kModes[] = {
    {FirmwareMode::kLoad, "load", true, kImageBase, false},
    {FirmwareMode::kVerify, "verify", false, kImageBase, true},
    {FirmwareMode::kResetAndLoad, "reset", true, kImageBase, true},
    {FirmwareMode::kParameters, "param", true, kParametersBase, false},
};

std::vector<uint8_t> XdataAt(const emu::McuState& mcu, uint32_t base) {
  std::vector<uint8_t> bytes(kFile.size());
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = mcu.xdata.empty() ? 0 : mcu.xdata[base + i];
  return bytes;
}

std::vector<uint8_t> ProgAt(const emu::McuState& mcu) {
  std::vector<uint8_t> bytes(kFile.size());
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = emu::PeekProg(mcu, static_cast<uint32_t>(i));
  return bytes;
}

// An MCU held in SFR access at a stray address, with an older load in place: every write the
// download leaves out shows. For verify, the file is what program memory holds.
emu::McuState OlderLoad(const Mode& mode) {
  emu::McuState mcu;
  std::vector<uint8_t>& xdata = mcu.Xdata();
  for (uint32_t i = 0; i < 40; ++i) xdata[kOverlayBase + i] = 0x77;
  for (uint32_t i = 0; i < 64; ++i) {
    xdata[kImageBase + i] = static_cast<uint8_t>(0xC0 + i);
    xdata[kParametersBase + i] = static_cast<uint8_t>(0xD0 + i);
  }
  xdata[0x0802] = 0x5A;
  mcu.sfr[0xF9] = 0x01;
  mcu.sfr[0xFA] = 0x02;
  if (!mode.loads) {
    for (int j = 0; j < 20; ++j) {
      xdata[kOverlayBase + 2 * j] = static_cast<uint8_t>(kTableB[j] >> 8);
      xdata[kOverlayBase + 2 * j + 1] = static_cast<uint8_t>(kTableB[j]);
    }
    std::copy(kFile.begin(), kFile.end(), xdata.begin() + kImageBase);
  }
  mcu.control = 0x81;
  mcu.address = 0x1234;
  return mcu;
}

// The MCU as the mode commands it: loaded, mapped and running.
void ExpectAsCommanded(const Mode& mode, const emu::McuState& mcu) {
  EXPECT_TRUE(emu::McuRunning(mcu));
  if (mode.reads_prog) {
    EXPECT_EQ(ProgAt(mcu), kFile);
  }
  if (!mode.loads) return;
  EXPECT_EQ(XdataAt(mcu, mode.base), kFile);
  EXPECT_EQ(emu::OverlayInPlace(mcu), emu::OverlayTable::kB);
  EXPECT_EQ(mcu.xdata[0x0802], 0);
  EXPECT_EQ(mcu.sfr[0xF9], 0x10);
  EXPECT_EQ(mcu.sfr[0xFA], 0x23);
}

TEST(FirmwareFaultSweep, CompletedMeansLoadedAndEveryOtherDownloadFails) {
  const std::string wrote = "Wrote 00002 of 00003 (066%)\r\nCOMPLETED!\n";
  const std::string verified = "Verified 00002 of 00003 (066%)\r\nCOMPLETED!\n";

  EmuBench bench;
  bench.CreateAdapter();
  Platform& platform = bench.Services();
  uint32_t error = 0;
  ASSERT_TRUE(platform.device.Open(kControlDevicePath, &error));
  CaptureConsole console;
  Driver driver(platform.device, console, RequestWords{});
  for (const Mode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    const emu::McuState older = OlderLoad(mode);
    const auto download = [&](const std::function<void()>& plan) {
      bench.Update([&](emu::AdapterState& s) {
        s.mcu = older;
        s.faults.clear();
      });
      plan();
      return DownloadFirmware(driver, mode.mode, kFile.data(), kFile.size());
    };
    bench.ClearLog();
    ASSERT_TRUE(download([] {}));
    const std::string clean_output = console.TakeOutput();
    const emu::McuState clean = bench.State().mcu;
    ExpectAsCommanded(mode, clean);
    const std::vector<uint32_t> commands = LoggedCommands(bench);
    ASSERT_FALSE(commands.empty());

    for (size_t position = 0; position < commands.size(); ++position) {
      for (const RequestFault fault : kRequestFaults) {
        SCOPED_TRACE("request " + std::to_string(position) + ", " + RequestFaultName(fault));
        const bool done = download([&] { PlanRequestFault(bench, commands, position, fault); });
        const std::string output = console.TakeOutput();
        const emu::McuState mcu = bench.State().mcu;

        if (output.find(wrote) != std::string::npos) {
          EXPECT_EQ(XdataAt(mcu, mode.base), kFile);
        }
        if (output.find(verified) != std::string::npos) {
          EXPECT_EQ(mode.reads_prog ? ProgAt(mcu) : XdataAt(mcu, mode.base), kFile);
        }
        if (done) {
          EXPECT_EQ(fault, RequestFault::kNoEffect);
          EXPECT_EQ(output, clean_output);
          ExpectAsCommanded(mode, mcu);
          // Not a byte elsewhere: a write that went astray did not leave its mark unseen.
          EXPECT_TRUE(mcu.xdata == clean.xdata && mcu.sfr == clean.sfr);
        } else {
          EXPECT_NE(output.find("ERROR: "), std::string::npos) << output;
        }
      }
    }
  }
  platform.device.Close();
}

}  // namespace
