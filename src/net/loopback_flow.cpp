// loopback_flow.cpp - the loopback stage: link mode, link and speed checks, the receive filter
// bits, three runs, and the filter bits cleared again.
#include "net/loopback_flow.h"

#include <optional>

#include "common/phy_register_map.h"
#include "driver/driver_operations.h"
#include "net/network_test.h"
#include "net/ping_flow.h"

namespace {

constexpr uint32_t kSettleMilliseconds = 2000;
constexpr int kLinkPolls = 10;
constexpr uint32_t kLinkPollMilliseconds = 1000;

constexpr uint32_t kEthRfeCtl = 0x508;
constexpr uint32_t kRfeLoopbackBits = 0x700;

constexpr int kRuns = 3;
constexpr uint32_t kRunPauseMilliseconds = 500;

// Polls PHY_BMS_REG for the link; a failed read keeps the previous value.
bool WaitForLoopbackLink(Driver& driver, Clock& clock) {
  uint32_t status = 0;
  clock.Sleep(kSettleMilliseconds);
  READ_PHY(driver, kPhyBmsReg, &status);  // clears a latched drop
  for (int poll = 0; poll < kLinkPolls; ++poll) {
    READ_PHY(driver, kPhyBmsReg, &status);
    if (status & kStatusLinkUp) return true;
    clock.Sleep(kLinkPollMilliseconds);
  }
  return false;
}

// Sets or clears the receive filter bits of the test, keeping the others. Returns the value
// written, or nothing after printing why.
std::optional<uint32_t> UpdateReceiveFilter(Driver& driver, bool set) {
  uint32_t value = 0;
  if (!READ_REGISTER(driver, kEthRfeCtl, &value)) {
    driver.console().Error("Failed to read  ETH_RFE_CTL register\n");
    return std::nullopt;
  }
  value = set ? value | kRfeLoopbackBits : value & ~kRfeLoopbackBits;
  if (!WRITE_REGISTER(driver, kEthRfeCtl, value)) {
    driver.console().Error("Failed to write  ETH_RFE_CTL register\n");
    return std::nullopt;
  }
  return value;
}

// Clears the test's bits and reads the register back: a write that answered success without
// taking would leave the port receiving everything, and a later test of another board passing
// through this one's connector.
bool RestoreReceiveFilter(Driver& driver) {
  const std::optional<uint32_t> written = UpdateReceiveFilter(driver, false);
  if (!written) return false;
  uint32_t value = 0;
  if (!READ_REGISTER(driver, kEthRfeCtl, &value)) {
    driver.console().Error("Failed to read  ETH_RFE_CTL register\n");
    return false;
  }
  if (value & kRfeLoopbackBits) {
    driver.console().Error("ETH_RFE_CTL reads 0x%x after 0x%x was written to clear bits 0x%x\n",
                           value, *written, kRfeLoopbackBits);
    return false;
  }
  return true;
}

}  // namespace

bool RunLoopbackFlow(Driver& driver, const NetRun& run, const LoopbackJob& job,
                     AdapterAddress* source, std::vector<bool>* outcomes) {
  Console& console = run.console;
  if (job.link_mode_given && job.link_mode != kLink100Full &&
      job.link_mode != kLink1000FullMaster) {
    console.Error("Please set the loopback link to 100fd or 1000fd\n");
    return false;
  }
  const int32_t mode = job.link_mode_given ? job.link_mode : kLink1000FullMaster;
  uint8_t reply = 0;
  if (!SET_LINK_MODE(driver, static_cast<uint32_t>(mode), &reply)) {
    console.Error("Set link mode 100fd failed\n");
    return false;
  }
  if (mode == kLink1000FullMaster) {
    uint32_t setup = 0;
    READ_PHY(driver, kPhyCableDiagReg, &setup);
    WRITE_PHY(driver, kPhyCableDiagReg, setup | kCableDiagGigabitLoopSetup);
    WRITE_PHY(driver, kPhyGigabitLoop, kGigabitLoopValue);
  }
  if (!WaitForLoopbackLink(driver, run.clock)) {
    console.Print("Unable to link, please check the loopback connector\n");
    return false;
  }
  uint32_t linked = 0;
  READ_PHY(driver, mode == kLink100Full ? kPhyLinked100Full : kPhyLinked1000Full, &linked);
  if (!(linked & kLinkedBit)) {
    console.Print(mode == kLink100Full
                      ? "Unable to link to 100fd, check the loopback connector\n"
                      : "Unable to link to 1000fd, check the loopback connector\n");
    return false;
  }

  Sockets& sockets = run.services.sockets;
  if (const int error = sockets.Startup(kWinsockVersion)) {
    console.Error("WSAStartup failed with error: %d\n", error);
    return false;
  }
  if (!WaitForAdapterAddress(driver, run, source)) {
    sockets.Cleanup();
    return false;
  }
  run.clock.Sleep(SettleMilliseconds(reply));
  if (!UpdateReceiveFilter(driver, true)) {
    sockets.Cleanup();
    return false;
  }

  bool passed = false;
  for (int count = 0; count < kRuns; ++count) {
    run.clock.Sleep(kRunPauseMilliseconds);
    passed =
        RunNetworkTest(run, source->text, source->interface_index, NetworkTestMode::kLoopback, "");
    if (outcomes != nullptr) outcomes->push_back(passed);
    if (passed) {
      console.Print("Loopback Test Passed\n");
    } else {
      console.Error("Loopback Test Failed\n");
    }
  }
  const bool restored = RestoreReceiveFilter(driver);
  sockets.Cleanup();
  return passed && restored;
}
