// cable_diagnostics_flow_test.cpp - whole -V runs against the emulated PHY: the transcript byte
// for byte, the link taken down first when it is up and let up again, the waits, the timeout of a
// pair, the aborts, registers 0 and 9 put back, and the exit code: 0 when every pair gave a
// result, open and shorted pairs included, else 6.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "driver/request_block.h"
#include "support/after_banner.h"
#include "support/emu_bench.h"

namespace {

constexpr char kWarning[] =
    "WARNING: The following results are only accurate if the far end of the\n\r"
    "         cable connected to the QNT5230 is NOT connected to an active\n\r"
    "         Link partner.\n\r\n\r"
    "Performing Pair Scan Cable Diagnostics tests ...\n\r";
constexpr char kAbort[] = "\n\rERROR Accessing PHY Registers. Aborting Test!\n\r";
constexpr char kReadFailed[] = "ERROR: READ_PHY failed !    status:Other Error\n";

class CableFlow : public ::testing::Test {
 protected:
  CableFlow() {
    bench_.CreateAdapter();
    saved_control_ = bench_.Phy(0);
    saved_gig_control_ = bench_.Phy(9);
  }
  void SetPair(uint32_t pair, uint8_t status, uint8_t data, uint32_t busy_polls = 0) {
    bench_.Update([&](emu::AdapterState& s) {
      s.cable.at(pair) = {.set = true, .status = status, .data = data, .busy_polls = busy_polls};
    });
  }
  // Runs -V and returns the output after the banner.
  std::string RunCableTest(int expected_exit = 0) {
    const int64_t start = bench_.NowMs();
    EXPECT_EQ(bench_.Run({"-V"}), expected_exit);
    elapsed_ = bench_.NowMs() - start;
    return AfterBanner(bench_.Output());
  }
  // The PHY writes as register and value.
  std::vector<std::pair<uint32_t, uint32_t>> PhyWrites() const {
    std::vector<std::pair<uint32_t, uint32_t>> writes;
    for (const emu::LogEntry& entry : bench_.LogOf(kCmdWritePhy))
      writes.emplace_back(entry.parameter, entry.data);
    return writes;
  }
  // Forced 1000 Mb/s full duplex in register 0, manual slave in register 9, the four pair starts
  // until |pairs_started|, then registers 9 and 0 put back.
  std::vector<std::pair<uint32_t, uint32_t>> TestWrites(int pairs_started = 4) const {
    std::vector<std::pair<uint32_t, uint32_t>> writes = {{0, 0x0140}, {9, 0x1000}};
    for (int pair = 0; pair < pairs_started; ++pair)
      writes.emplace_back(18, 0x8000 + pair * 0x1000);
    writes.emplace_back(9, saved_gig_control_);
    writes.emplace_back(0, saved_control_);
    return writes;
  }
  void ExpectRegistersRestored() {
    EXPECT_EQ(bench_.Phy(0), saved_control_);
    EXPECT_EQ(bench_.Phy(9), saved_gig_control_);
  }

  EmuBench bench_;
  uint32_t saved_control_ = 0;
  uint32_t saved_gig_control_ = 0;
  int64_t elapsed_ = 0;
};

// A pair with the Failed status was not tested: the run fails, the other pairs are still shown.
TEST_F(CableFlow, EachStatusAndDistanceWithTheLinkDown) {
  SetPair(0, 0, 0);
  SetPair(1, 1, 21);
  SetPair(2, 2, 100);
  SetPair(3, 3, 0x5A);
  EXPECT_EQ(
      RunCableTest(6),
      std::string(kWarning) +
          "Pair A test complete. CblDiagReg = 0x0000. Status = Normal/OK\n\r"
          "Pair B test complete. CblDiagReg = 0x1115. Status = Open     , Distance to Fault "
          "= 0 meters\n\r"
          "Pair C test complete. CblDiagReg = 0x2264. Status = Shorted  , Distance to Fault "
          "= 62 meters\n\r"
          "Pair D test complete. CblDiagReg = 0x335a. Status = Failed   , Failures: 0x5A\n\r");
  // No link to take down: no 0x4800, no SET_LINK_STATE, no 1000 ms wait.
  EXPECT_EQ(PhyWrites(), TestWrites());
  EXPECT_TRUE(bench_.LogOf(kCmdSetLinkState).empty());
  EXPECT_EQ(elapsed_, 25);
  ExpectRegistersRestored();
}

TEST_F(CableFlow, ShortCountsTruncateTowardZeroAndBusyPairsArePolledAgain) {
  SetPair(0, 1, 0);
  SetPair(1, 2, 22);
  SetPair(2, 0, 0, 3);
  SetPair(3, 1, 25);
  EXPECT_EQ(RunCableTest(),
            std::string(kWarning) +
                "Pair A test complete. CblDiagReg = 0x0100. Status = Open     , Distance to Fault "
                "= -17 meters\n\r"
                "Pair B test complete. CblDiagReg = 0x1216. Status = Shorted  , Distance to Fault "
                "= 0 meters\n\r"
                "Pair C test complete. CblDiagReg = 0x2000. Status = Normal/OK\n\r"
                "Pair D test complete. CblDiagReg = 0x3119. Status = Open     , Distance to Fault "
                "= 2 meters\n\r");
  EXPECT_EQ(elapsed_, 25 + 3 * 10);
  // Three saves, one read per pair and three more for pair C, then registers 9 and 0 read back.
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 3u + 4 + 3 + 2);
}

TEST_F(CableFlow, LinkUpIsTakenDownFirstAndLetUpAgain) {
  bench_.SetLinkDelay(0);
  bench_.SetPartner("autoneg 1000fd,100fd,100hd,10fd,10hd");
  for (uint32_t pair = 0; pair < 4; ++pair) SetPair(pair, 0, 0);
  const std::string output = RunCableTest();
  EXPECT_EQ(output.substr(0, sizeof kWarning - 1), kWarning);
  EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  // Loopback and power down take the link down first, and the driver's link state goes down;
  // once registers 9 and 0 are back, the driver may bring the link up again.
  auto expected = TestWrites();
  expected.insert(expected.begin(), {0, 0x4800});
  EXPECT_EQ(PhyWrites(), expected);
  EXPECT_EQ(bench_.DataOf(kCmdSetLinkState), (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(elapsed_, 1000 + 25);
  EXPECT_TRUE(bench_.State().link_runtime.admin_up);
  ExpectRegistersRestored();
  EXPECT_EQ(bench_.Run({"-l", "1000fd"}), 0);
  EXPECT_NE(bench_.Output().find("\nLink mode: 1000 FD\n"), std::string::npos);
}

TEST_F(CableFlow, StuckPairTimesOutAndTheNextPairStillRuns) {
  for (uint32_t pair = 0; pair < 4; ++pair) SetPair(pair, 0, 0);
  bench_.Update([](emu::AdapterState& s) { s.cable[1].stuck = true; });
  EXPECT_EQ(RunCableTest(6),
            std::string(kWarning) +
                "Pair A test complete. CblDiagReg = 0x0000. Status = Normal/OK\n\r"
                "Pair B test incomplete due to 100ms Timeout! Last CblDiagReg = 0x9000\n\r"
                "Pair C test complete. CblDiagReg = 0x2000. Status = Normal/OK\n\r"
                "Pair D test complete. CblDiagReg = 0x3000. Status = Normal/OK\n\r");
  EXPECT_EQ(elapsed_, 25 + 100);
}

TEST_F(CableFlow, FailedReadsOfTheLastPairAreReportedAfterTheRestore) {
  for (uint32_t pair = 0; pair < 4; ++pair) SetPair(pair, 0, 0);
  // Three reads before the pairs, then one each for A to C: every read of pair D fails, and so
  // do the reads that check the restore.
  bench_.FailStatus(kCmdReadPhy, 2, 3 + 3, -1);
  std::string expected = std::string(kWarning) +
                         "Pair A test complete. CblDiagReg = 0x0000. Status = Normal/OK\n\r"
                         "Pair B test complete. CblDiagReg = 0x1000. Status = Normal/OK\n\r"
                         "Pair C test complete. CblDiagReg = 0x2000. Status = Normal/OK\n\r";
  for (int poll = 0; poll < 10; ++poll) expected += kReadFailed;
  expected += "Pair D test incomplete due to 100ms Timeout! Last CblDiagReg = 0x0000\n\r";
  expected += std::string(kReadFailed) + kReadFailed + kAbort;
  EXPECT_EQ(RunCableTest(6), expected);
  EXPECT_EQ(PhyWrites(), TestWrites());
  ExpectRegistersRestored();
}

TEST_F(CableFlow, FailedStartOfTheThirdPairRestoresThenAborts) {
  for (uint32_t pair = 0; pair < 4; ++pair) SetPair(pair, 0, 0);
  // Registers 0 and 9, then the starts of pairs A and B.
  bench_.FailStatus(kCmdWritePhy, 2, 4);
  EXPECT_EQ(RunCableTest(6), std::string(kWarning) +
                                 "Pair A test complete. CblDiagReg = 0x0000. Status = Normal/OK\n\r"
                                 "Pair B test complete. CblDiagReg = 0x1000. Status = Normal/OK\n\r"
                                 "ERROR: WRITE_PHY failed !    status:Other Error\n" +
                                 kAbort);
  EXPECT_EQ(PhyWrites(), TestWrites(3));
  ExpectRegistersRestored();
}

TEST_F(CableFlow, FailedSaveAbortsBeforeTouchingThePhy) {
  bench_.FailStatus(kCmdReadPhy, 2, 1);
  EXPECT_EQ(RunCableTest(6), std::string(kWarning) + kReadFailed + kAbort);
  EXPECT_TRUE(PhyWrites().empty());
  EXPECT_EQ(elapsed_, 0);
}

// A restore write that answers success and does nothing is found by reading the register back.
TEST_F(CableFlow, RestoreThatDidNotHoldIsReported) {
  for (uint32_t pair = 0; pair < 4; ++pair) SetPair(pair, 0, 0);
  bench_.FailStatus(kCmdWritePhy, 0, 2 + 4);  // the restore of register 9
  const std::string output = RunCableTest(6);
  char line[80];
  std::snprintf(line, sizeof line,
                "ERROR: PHY register 9 not restored: reads 0x1000 instead of 0x%04x\n\r",
                saved_gig_control_);
  EXPECT_EQ(output.substr(output.size() - std::strlen(line)), line);
  EXPECT_EQ(output.find("Aborting"), std::string::npos);
}

}  // namespace
