// cable_diagnostics.cpp - the pair-scan cable test: saving and forcing the PHY's control
// registers, starting and polling the test of each pair, and decoding the diagnostic register.
#include "phy/cable_diagnostics.h"

#include <cstdint>

#include "driver/driver_operations.h"
#include "phy/link_state.h"
#include "phy/phy_registers.h"

namespace {

constexpr uint32_t kCableDiagReg = 18;

// Register 0 values: loopback and power down take the link down; then forced 1000 Mb/s full
// duplex with auto-negotiation off, the mode the test runs in.
constexpr uint32_t kCtrlLinkOff = 0x4800;
constexpr uint32_t kCtrlForced1000Full = 0x0140;
// Register 9: manual master/slave, this PHY slave.
constexpr uint32_t kGigCtrlManualSlave = 0x1000;
constexpr uint32_t kDriverLinkDown = 0;

constexpr uint32_t kLinkDropWaitMs = 1000;
constexpr uint32_t kSettleWaitMs = 25;
constexpr int kPollCount = 10;
constexpr uint32_t kPollWaitMs = 10;

// The diagnostic register: bit 15 starts a test (write) or shows it running (read), bits 13..12
// choose the pair, bits 9..8 are the status, bits 7..0 the fault data.
constexpr uint32_t kDiagStart = 0x8000;
constexpr uint32_t kDiagPairStep = 0x1000;
constexpr uint16_t kDiagRunning = 0x8000;
constexpr int kPairCount = 4;

enum CableStatus { kStatusNormal = 0, kStatusOpen = 1, kStatusShorted = 2, kStatusFailed = 3 };

// The status names, blank-padded to nine characters so the distance text follows directly.
// The status field has two bits, so only the first four rows are ever shown.
constexpr const char* kStatusNames[16] = {
    "Normal/OK", "Open     ", "Shorted  ", "Failed   ", "Abnormal ", "Reserved ",
    "Reserved ", "Reserved ", "CPshortA ", "CPshortB ", "CPshortC ", "CPshortD ",
    "CPcoupleA", "CPcoupleB", "CPcoupleC", "CPcoupleD",
};

constexpr char kAbortMessage[] = "\n\rERROR Accessing PHY Registers. Aborting Test!\n\r";

bool Abort(Console& console) {
  console.Print(kAbortMessage);
  return false;
}

void PrintWarning(Console& console) {
  console.Print("WARNING: The following results are only accurate if the far end of the\n\r");
  console.Print("         cable connected to the QNT5230 is NOT connected to an active\n\r");
  console.Print("         Link partner.\n\r\n\r");
  console.Print("Performing Pair Scan Cable Diagnostics tests ...\n\r");
}

void PrintResult(Console& console, char pair, uint16_t value) {
  const int status = (value >> 8) & 3;
  const int data = value & 0xFF;
  console.Printf("Pair %c test complete. CblDiagReg = 0x%04x. Status = %s", pair, value,
                 kStatusNames[status]);
  if (status == kStatusOpen || status == kStatusShorted) {
    // The count is in 0.8 m steps from an offset of 22; C++ division truncates toward zero
    // as the distance calls for, so short counts give small negative distances.
    console.Printf(", Distance to Fault = %d meters\n\r", (8 * data - 176) / 10);
  } else if (status == kStatusFailed) {
    console.Printf(", Failures: 0x%02X\n\r", static_cast<unsigned>(data));
  } else {
    console.Print("\n\r");
  }
}

// Polls one pair's test to its end or to the timeout. Returns the success of the last read.
bool PollPair(Driver& driver, Clock& clock, char pair) {
  uint16_t value = 0;
  bool read = false;
  for (int poll = 0; poll < kPollCount; ++poll) {
    read = LanPhyReadWord(driver, kCableDiagReg, &value);
    if (read && (value & kDiagRunning) == 0) {
      PrintResult(driver.console(), pair, value);
      return true;
    }
    clock.Sleep(kPollWaitMs);
  }
  driver.console().Printf(
      "Pair %c test incomplete due to 100ms Timeout! Last CblDiagReg = 0x%04x\n\r", pair, value);
  return read;
}

// Tests the pairs in order; a failed start write ends the loop. Returns the success of the last
// PHY access.
bool TestPairs(Driver& driver, Clock& clock) {
  bool last_access = true;
  for (int pair = 0; pair < kPairCount; ++pair) {
    const uint32_t start = kDiagStart + static_cast<uint32_t>(pair) * kDiagPairStep;
    if (!WRITE_PHY(driver, kCableDiagReg, start)) return false;
    last_access = PollPair(driver, clock, static_cast<char>('A' + pair));
  }
  return last_access;
}

}  // namespace

bool RunCableDiagnostics(Driver& driver, Clock& clock) {
  Console& console = driver.console();
  PrintWarning(console);

  uint32_t saved_control = 0;
  uint32_t saved_gig_control = 0;
  uint32_t status = 0;
  if (!READ_PHY(driver, kPhyCtrl, &saved_control) ||
      !READ_PHY(driver, kPhy1000TCtrl, &saved_gig_control) ||
      !READ_PHY(driver, kPhyBmsReg, &status)) {
    return Abort(console);
  }
  if ((status & kStatusLinkUp) != 0) {
    if (!WRITE_PHY(driver, kPhyCtrl, kCtrlLinkOff)) return Abort(console);
    SET_LINK_STATE(driver, kDriverLinkDown);
    clock.Sleep(kLinkDropWaitMs);
  }
  if (!WRITE_PHY(driver, kPhyCtrl, kCtrlForced1000Full) ||
      !WRITE_PHY(driver, kPhy1000TCtrl, kGigCtrlManualSlave)) {
    return Abort(console);
  }
  clock.Sleep(kSettleWaitMs);

  const bool last_access = TestPairs(driver, clock);

  WRITE_PHY(driver, kPhy1000TCtrl, saved_gig_control & 0xFFFF);
  WRITE_PHY(driver, kPhyCtrl, saved_control);
  if (!last_access) return Abort(console);
  return true;
}
