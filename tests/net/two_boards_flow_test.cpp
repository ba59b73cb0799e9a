// two_boards_flow_test.cpp - -p and -L on a host with two controllers of the family: each run
// tests the board -X selects, through the host adapter that shows that board's MAC address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emu/network_model.h"
#include "support/after_banner.h"
#include "support/emu_bench.h"

namespace {

constexpr uint32_t kEthRfeCtl = 0x508;
constexpr char kPeer[] = "192.168.2.1";  // on board 1's wire
const std::string kNoReply = "ERROR: There was no reply to pings \n";
const std::string kPinged = "Pinged 192.168.2.1 successfully.\n";
const std::string kFailed = "ERROR: Loopback Test Failed\n";

class TwoBoards : public ::testing::Test {
 protected:
  TwoBoards() {
    for (const uint8_t board : {0, 1}) {
      bench_.CreateAdapter(board);
      // EEPROM images of MAC addresses 00-11-22-33-44-50 and -51.
      bench_.SetEeprom({0xA5, 0x00, 0x11, 0x22, 0x33, 0x44, static_cast<uint8_t>(0x50 + board)},
                       board);
      bench_.SetPartner("autoneg 1000fd,100fd", board);
      bench_.SetLinkDelay(0, board);
      bench_.Update(
          [&](emu::AdapterState& s) {
            s.network.has_address = true;
            s.network.address = {192, 168, static_cast<uint8_t>(board + 1), 5};
          },
          board);
    }
    bench_.Update(
        [](emu::AdapterState& s) {
          s.network.peers = {{.address = {192, 168, 2, 1}}};
        },
        1);
  }
  int Run(const std::vector<std::string>& arguments) {
    const int64_t start = bench_.NowMs(1);
    const int code = bench_.Run(arguments);
    elapsed_ = bench_.NowMs(1) - start;
    return code;
  }
  std::string Output() { return AfterBanner(bench_.TakeOutput()); }

  EmuBench bench_;
  int64_t elapsed_ = 0;
};

TEST_F(TwoBoards, PingLeavesThroughTheSelectedBoard) {
  EXPECT_EQ(Run({"-X", "0", "-p", kPeer}), 7);
  EXPECT_EQ(Output(), kNoReply + kNoReply + kNoReply);
  EXPECT_EQ(Run({"-X", "1", "-p", kPeer}), 0);
  EXPECT_EQ(Output(), kPinged + kPinged + kPinged);
}

// Board 0 has the plug, and an earlier run left its filter bits set: board 1, on a cable, must
// not pass through board 0's connector.
TEST_F(TwoBoards, LoopbackThroughTheSelectedBoardsConnector) {
  bench_.SetPartner("none", 0);
  bench_.Update([](emu::AdapterState& s) { s.network.plug_speed = 1000; }, 0);
  bench_.SetRegister(kEthRfeCtl, 0x700, 0);
  EXPECT_EQ(Run({"-X", "1", "-L"}), 8);
  EXPECT_EQ(Output(), kFailed + kFailed + kFailed);
  EXPECT_EQ(Run({"-X", "0", "-L"}), 0);
  EXPECT_EQ(Output(), "Loopback Test Passed\nLoopback Test Passed\nLoopback Test Passed\n");
}

// Refused at once: asking again for twenty seconds cannot make the adapter appear.
TEST_F(TwoBoards, NoAdapterShowsTheBoardsAddress) {
  bench_.Update(
      [](emu::AdapterState& s) {
        s.network.has_physical = true;  // an address set in the driver's properties
        s.network.physical = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
      },
      1);
  const std::string no_match =
      "ERROR: No QNT52 network adapter has this controller's MAC address 00-11-22-33-44-51\n";
  EXPECT_EQ(Run({"-X", "1", "-p", kPeer}), 7);
  EXPECT_EQ(Output(), no_match);
  EXPECT_EQ(elapsed_, 0);
  EXPECT_EQ(Run({"-X", "1", "-L"}), 8);
  EXPECT_EQ(Output(), no_match);

  bench_.SetEeprom(std::vector<uint8_t>(7, 0xFF), 1);  // a blank board: no address to compare
  EXPECT_EQ(Run({"-X", "1", "-p", kPeer}), 7);
  EXPECT_EQ(Output(),
            "ERROR: Several QNT52 network adapters are listed and this controller's MAC address "
            "is unknown\n");
  EXPECT_EQ(bench_.TakeDiagnostics(),
            "The board holds no MAC address to find its host adapter by: program the board first "
            "(-w, or -O -w), or leave its host adapter the only QNT52 adapter enabled.\n");
}

}  // namespace
