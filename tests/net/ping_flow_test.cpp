// ping_flow_test.cpp - whole -p runs against an emulated adapter on an emulated network: the
// link and address waits on the virtual clock, the peers' answers, the messages and exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emu/network_model.h"
#include "support/emu_bench.h"

namespace {

constexpr char kPeer[] = "192.168.1.1";
constexpr char kPinged[] = "Pinged 192.168.1.1 successfully.\n";
constexpr char kNoReply[] = "ERROR: There was no reply to pings \n";

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class PingFlow : public ::testing::Test {
 protected:
  PingFlow() {
    bench_.CreateAdapter();
    bench_.SetPartner("autoneg 1000fd,100fd");
    bench_.SetLinkDelay(0);
    bench_.Update([](emu::AdapterState& s) {
      s.network.has_address = true;
      s.network.address = {192, 168, 1, 5};
    });
    SetPeer(emu::Peer{});
  }
  void SetPeer(emu::Peer peer) {
    peer.address = {192, 168, 1, 1};
    bench_.Update([&](emu::AdapterState& s) { s.network.peers = {peer}; });
  }
  int Run(const std::vector<std::string>& arguments) {
    const int64_t start = bench_.NowMs();
    const int code = bench_.Run(arguments);
    elapsed_ = bench_.NowMs() - start;
    return code;
  }

  EmuBench bench_;
  int64_t elapsed_ = 0;
};

TEST_F(PingFlow, ReachablePeerThreeTimes) {
  EXPECT_EQ(Run({"-p", kPeer}), 0);
  const std::string output = bench_.Output();
  EXPECT_EQ(output.substr(output.size() - 3 * 33), std::string(kPinged) + kPinged + kPinged);
  EXPECT_EQ(elapsed_, 3000 + 3 * 500);  // the settle wait and the pauses; replies come at once
}

TEST_F(PingFlow, SlowSettleAfterReplyByteOne) {
  bench_.SetLinkModeReply(1);
  EXPECT_EQ(Run({"-l", "1000fd", "-p", kPeer}), 0);
  EXPECT_EQ(Count(bench_.Output(), kPinged), 3u);
  // -l: 2000 ms settle, one poll, 2000 ms for the reply byte; then 5000 ms and three pauses.
  EXPECT_EQ(elapsed_, 2000 + 2000 + 5000 + 3 * 500);
}

TEST_F(PingFlow, InvalidDestinationAfterTheWaits) {
  EXPECT_EQ(Run({"-p", "10.0.0.0"}), 7);
  const std::string invalid = "ERROR: ***Invalid IP address.***";
  const std::string output = bench_.Output();
  EXPECT_EQ(output.substr(output.size() - 3 * invalid.size()), invalid + invalid + invalid);
  EXPECT_EQ(elapsed_, 3000 + 3 * 500);
}

TEST_F(PingFlow, NoControllerAdapter) {
  bench_.Update([](emu::AdapterState& s) { s.network.description = "Other Gigabit Adapter"; });
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  EXPECT_TRUE(bench_.Output().ends_with("\n\n\nERROR: Src IP not enabled\n"));
  EXPECT_EQ(elapsed_, 20 * 1000);
}

TEST_F(PingFlow, AddressAppearsLate) {
  bench_.Update([](emu::AdapterState& s) { s.network.address_after = 19; });
  EXPECT_EQ(Run({"-p", kPeer}), 0);
  EXPECT_EQ(Count(bench_.Output(), kPinged), 3u);
  EXPECT_EQ(elapsed_, 19 * 1000 + 3000 + 3 * 500);
}

TEST_F(PingFlow, LinkDown) {
  bench_.SetPartner("none");
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  EXPECT_TRUE(bench_.Output().ends_with("\n\n\nLink is down\n"));
  EXPECT_EQ(elapsed_, 3 * 500);
}

TEST_F(PingFlow, ForeignIdentifiersAreSkipped) {
  SetPeer({.foreign = 3});
  EXPECT_EQ(Run({"-p", kPeer}), 0);
  EXPECT_EQ(Count(bench_.Output(), kPinged), 3u);
}

// A request of our own coming back (type 8) is no reply.
TEST_F(PingFlow, WrongTypeFailsEveryTry) {
  SetPeer({.reply_type = 8});
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  EXPECT_EQ(Count(bench_.Output(), kNoReply), 3u);
  EXPECT_EQ(elapsed_, 3000 + 3 * (500 + 5 * 1000));  // no reply wait: each try ends at once
}

TEST_F(PingFlow, SilentPeer) {
  SetPeer({.silent = true});
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  EXPECT_EQ(Count(bench_.Output(), kNoReply), 3u);
  EXPECT_EQ(elapsed_, 3000 + 3 * (500 + 5 * (1000 + 1000)));
}

TEST_F(PingFlow, LateReplyTimesOut) {
  SetPeer({.delay_ms = 1001});
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  SetPeer({.delay_ms = 1000});
  EXPECT_EQ(Run({"-p", kPeer}), 0);
}

// Unrelated traffic 0.9 s apart restarts the wait; a try still ends 4 s after its send.
TEST_F(PingFlow, NoiseIsBoundedPerTry) {
  SetPeer({.noise = 4});  // the reply follows at 3.6 s
  EXPECT_EQ(Run({"-p", kPeer}), 0);
  SetPeer({.noise = 5});  // the reply would follow at 4.5 s
  EXPECT_EQ(Run({"-p", kPeer}), 7);
  EXPECT_EQ(Count(bench_.Output(), kNoReply), 3u);
}

}  // namespace
