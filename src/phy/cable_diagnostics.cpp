// cable_diagnostics.cpp - the pair-scan cable test: saving and forcing the PHY's control
// registers, starting and polling the test of each pair, decoding the diagnostic register, and
// putting the PHY and the driver's link state back as they were found.
#include "phy/cable_diagnostics.h"

#include <cstdint>

#include "common/phy_register_map.h"
#include "driver/driver_operations.h"
#include "phy/link_state.h"

namespace {

// Register 0 values: loopback and power down take the link down; then forced 1000 Mb/s full
// duplex with auto-negotiation off, the mode the test runs in.
constexpr uint32_t kCtrlLinkOff = 0x4800;
constexpr uint32_t kCtrlForced1000Full = 0x0140;
constexpr uint32_t kDriverLinkDown = 0;
constexpr uint32_t kDriverLinkUp = 1;

constexpr uint32_t kLinkDropWaitMs = 1000;
constexpr uint32_t kSettleWaitMs = 25;
constexpr int kPollCount = 10;
constexpr uint32_t kPollWaitMs = 10;

// The diagnostic register: bit 15 starts a test (write) or shows it running (read), bits 13..12
// choose the pair, bits 9..8 are the status, bits 7..0 the fault data.
constexpr uint32_t kDiagStart = 0x8000;
constexpr uint32_t kDiagPairStep = 0x1000;
constexpr uint32_t kDiagPairMask = 0x3000;
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

// How a run went so far.
struct CableRun {
  bool last_access = true;       // the last PHY access before the restore succeeded
  bool complete = true;          // every request succeeded and every pair gave a result
  bool link_taken_down = false;  // SET_LINK_STATE 0 was sent
  std::vector<CablePairResult> pairs;
};

// The registers the test overwrites, as they were found.
struct SavedRegisters {
  uint32_t control = 0;
  uint32_t gig_control = 0;
};

void PrintWarning(Console& console) {
  console.Print("WARNING: The following results are only accurate if the far end of the\n\r");
  console.Print("         cable connected to the QNT5230 is NOT connected to an active\n\r");
  console.Print("         Link partner.\n\r\n\r");
  console.Print("Performing Pair Scan Cable Diagnostics tests ...\n\r");
}

// The count is in 0.8 m steps from an offset of 22; C++ division truncates toward zero as the
// distance calls for, so short counts give small negative distances.
int FaultDistance(int data) { return (8 * data - 176) / 10; }

// Prints the result of a complete test. Returns false for the Failed status: the pair was not
// tested, which is no result about the cable.
bool PrintResult(Console& console, char pair, uint16_t value, CablePairResult& result) {
  const int status = (value >> 8) & 3;
  const int data = value & 0xFF;
  result.complete = true;
  result.status = status;
  console.Printf("Pair %c test complete. CblDiagReg = 0x%04x. Status = %s", pair, value,
                 kStatusNames[status]);
  if (status == kStatusOpen || status == kStatusShorted) {
    result.distance_m = FaultDistance(data);
    console.Printf(", Distance to Fault = %d meters\n\r", result.distance_m);
  } else if (status == kStatusFailed) {
    console.Printf(", Failures: 0x%02X\n\r", static_cast<unsigned>(data));
  } else {
    console.Print("\n\r");
  }
  return status != kStatusFailed;
}

// Polls the test of |pair| to its end or to the timeout. A failed read counts as a test still
// running, but the run has then met a failure. So does a finished test of another pair: the
// register still holds the previous result when a start write did not take effect.
void PollPair(Driver& driver, Clock& clock, int pair, CableRun& run) {
  const char letter = static_cast<char>('A' + pair);
  CablePairResult& result = run.pairs.emplace_back(CablePairResult{.pair = letter});
  uint16_t value = 0;
  for (int poll = 0; poll < kPollCount; ++poll) {
    run.last_access = LanPhyReadWord(driver, kPhyCableDiagReg, &value);
    result.register_value = value;
    if (!run.last_access) run.complete = false;
    const bool this_pair = (value & kDiagPairMask) == pair * kDiagPairStep;
    if (run.last_access && (value & kDiagRunning) == 0 && this_pair) {
      if (!PrintResult(driver.console(), letter, value, result)) run.complete = false;
      return;
    }
    clock.Sleep(kPollWaitMs);
  }
  driver.console().Printf(
      "Pair %c test incomplete due to 100ms Timeout! Last CblDiagReg = 0x%04x\n\r", letter, value);
  run.complete = false;
}

// Tests the pairs in order; a failed start write ends the loop.
void TestPairs(Driver& driver, Clock& clock, CableRun& run) {
  for (int pair = 0; pair < kPairCount; ++pair) {
    const uint32_t start = kDiagStart + static_cast<uint32_t>(pair) * kDiagPairStep;
    run.last_access = WRITE_PHY(driver, kPhyCableDiagReg, start);
    if (!run.last_access) return;
    PollPair(driver, clock, pair, run);
  }
}

// Takes a link that is up down, forces the test mode and tests the pairs. A failed write ends
// the run there.
void ScanCable(Driver& driver, Clock& clock, bool link_up, CableRun& run) {
  if (link_up) {
    run.last_access = WRITE_PHY(driver, kPhyCtrl, kCtrlLinkOff);
    if (!run.last_access) return;
    run.link_taken_down = true;
    if (!SET_LINK_STATE(driver, kDriverLinkDown)) run.complete = false;
    clock.Sleep(kLinkDropWaitMs);
  }
  run.last_access = WRITE_PHY(driver, kPhyCtrl, kCtrlForced1000Full) &&
                    WRITE_PHY(driver, kPhy1000TCtrl, k1000TCtrlManualMasterSlave);
  if (!run.last_access) return;
  clock.Sleep(kSettleWaitMs);
  TestPairs(driver, clock, run);
}

// Reads |index| back; a register that is not as it was found is named.
bool RegisterHolds(Driver& driver, uint32_t index, uint32_t saved) {
  uint16_t value = 0;
  if (!LanPhyReadWord(driver, index, &value)) return false;
  if (value == (saved & 0xFFFF)) return true;
  driver.console().Error("PHY register %u not restored: reads 0x%04x instead of 0x%04x\n\r",
                         static_cast<unsigned>(index), unsigned{value},
                         static_cast<unsigned>(saved & 0xFFFF));
  return false;
}

// Puts registers 9 and 0 back, lets the link come up again if the test took it down, and reads
// both registers to be sure: a write that answered success and did nothing would otherwise
// leave the port forced to 1000 Mb/s slave without a word. Returns whether all of it held.
bool Restore(Driver& driver, const SavedRegisters& saved, bool link_taken_down) {
  bool restored = WRITE_PHY(driver, kPhy1000TCtrl, saved.gig_control & 0xFFFF);
  restored = WRITE_PHY(driver, kPhyCtrl, saved.control) && restored;
  if (link_taken_down) restored = SET_LINK_STATE(driver, kDriverLinkUp) && restored;
  restored = RegisterHolds(driver, kPhy1000TCtrl, saved.gig_control) && restored;
  return RegisterHolds(driver, kPhyCtrl, saved.control) && restored;
}

}  // namespace

bool RunCableDiagnostics(Driver& driver, Clock& clock, CableReport* report) {
  Console& console = driver.console();
  PrintWarning(console);

  SavedRegisters saved;
  uint32_t status = 0;
  if (!READ_PHY(driver, kPhyCtrl, &saved.control) ||
      !READ_PHY(driver, kPhy1000TCtrl, &saved.gig_control) ||
      !READ_PHY(driver, kPhyBmsReg, &status)) {
    // Nothing was changed yet, so there is nothing to put back.
    if (report != nullptr) *report = {.aborted = true, .restored = true};
    console.Print(kAbortMessage);
    return false;
  }
  CableRun run;
  ScanCable(driver, clock, (status & kStatusLinkUp) != 0, run);
  // Every path that may have changed the PHY puts it back, the aborts included.
  const bool restored = Restore(driver, saved, run.link_taken_down);
  if (report != nullptr) {
    *report = {.pairs = run.pairs, .aborted = !run.last_access, .restored = restored};
  }
  if (!run.last_access) {
    console.Print(kAbortMessage);
    return false;
  }
  return run.complete && restored;
}
