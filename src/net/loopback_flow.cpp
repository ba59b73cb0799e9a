// loopback_flow.cpp - the loopback stage: link mode, link and speed checks, the receive filter
// bits, three runs, and the filter bits cleared again.
#include "net/loopback_flow.h"

#include <cstdio>
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

// Register 18 given back the value read before the set-up, and read back.
bool RestoreLoopbackSetup(Driver& driver, uint32_t before, char* text, size_t size) {
  uint32_t back = 0;
  if (WRITE_PHY(driver, kPhyCableDiagReg, before) && READ_PHY(driver, kPhyCableDiagReg, &back) &&
      (back & 0xFFFF) == (before & 0xFFFF)) {
    std::snprintf(text, size, "PHY register 0x%02x restored to 0x%04x", kPhyCableDiagReg,
                  before & 0xFFFF);
    return true;
  }
  std::snprintf(text, size, "PHY register 0x%02x not restored to 0x%04x", kPhyCableDiagReg,
                before & 0xFFFF);
  return false;
}

// The gigabit loopback's PHY set-up. A request that failed leaves the PHY half set up for a test
// that cannot pass for the reason it claims: register 18 is given back and the run ends, the
// fault in |*fault|.
bool SetUpGigabitLoopback(Driver& driver, std::string* fault) {
  uint32_t before = 0;
  char text[224];
  if (!READ_PHY(driver, kPhyCableDiagReg, &before)) {
    std::snprintf(text, sizeof text,
                  "The gigabit loopback set-up failed: PHY register 0x%02x not read",
                  kPhyCableDiagReg);
    *fault = text;
    return false;
  }
  uint32_t failed = kPhyCableDiagReg;
  if (WRITE_PHY(driver, kPhyCableDiagReg, before | kCableDiagGigabitLoopSetup)) {
    failed = kPhyGigabitLoop;
    if (WRITE_PHY(driver, kPhyGigabitLoop, kGigabitLoopValue)) return true;
  }
  char restored[96];
  RestoreLoopbackSetup(driver, before, restored, sizeof restored);
  std::snprintf(text, sizeof text,
                "The gigabit loopback set-up failed: PHY register 0x%02x not written; %s", failed,
                restored);
  *fault = text;
  return false;
}

}  // namespace

LoopbackResult RunLoopbackFlow(Driver& driver, const NetRun& run, const LoopbackJob& job,
                               AdapterAddress* source, std::vector<bool>* outcomes,
                               std::string* setup_fault) {
  Console& console = run.console;
  if (job.link_mode_given && job.link_mode != kLink100Full &&
      job.link_mode != kLink1000FullMaster) {
    console.Error("Please set the loopback link to 100fd or 1000fd\n");
    return LoopbackResult::kFailed;
  }
  const int32_t mode = job.link_mode_given ? job.link_mode : kLink1000FullMaster;
  uint8_t reply = 0;
  if (!SET_LINK_MODE(driver, static_cast<uint32_t>(mode), &reply)) {
    console.Error("Set link mode 100fd failed\n");
    return LoopbackResult::kFailed;
  }
  if (mode == kLink1000FullMaster) {
    std::string fault;
    if (!SetUpGigabitLoopback(driver, &fault)) {
      console.Error("%s\n", fault.c_str());
      if (setup_fault != nullptr) *setup_fault = fault;
      return LoopbackResult::kSetupFailed;
    }
  }
  if (!WaitForLoopbackLink(driver, run.clock)) {
    console.Print("Unable to link, please check the loopback connector\n");
    return LoopbackResult::kFailed;
  }
  uint32_t linked = 0;
  READ_PHY(driver, mode == kLink100Full ? kPhyLinked100Full : kPhyLinked1000Full, &linked);
  if (!(linked & kLinkedBit)) {
    console.Print(mode == kLink100Full
                      ? "Unable to link to 100fd, check the loopback connector\n"
                      : "Unable to link to 1000fd, check the loopback connector\n");
    return LoopbackResult::kFailed;
  }

  Sockets& sockets = run.services.sockets;
  if (const int error = sockets.Startup(kWinsockVersion)) {
    console.Error("WSAStartup failed with error: %d\n", error);
    return LoopbackResult::kFailed;
  }
  if (!WaitForAdapterAddress(driver, run, source)) {
    sockets.Cleanup();
    return LoopbackResult::kFailed;
  }
  run.clock.Sleep(SettleMilliseconds(reply));
  if (!UpdateReceiveFilter(driver, true)) {
    sockets.Cleanup();
    return LoopbackResult::kFailed;
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
  return passed && restored ? LoopbackResult::kPassed : LoopbackResult::kFailed;
}
