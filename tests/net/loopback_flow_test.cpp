// loopback_flow_test.cpp - whole -L runs against an emulated adapter with a loopback plug: the
// link mode and PHY set-up, the link and speed checks, the receive filter, the exchanges, the
// ARP table left behind, the messages and exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "driver/request_block.h"
#include "emu/network_model.h"
#include "support/emu_bench.h"

namespace {

constexpr char kPassed[] = "Loopback Test Passed\n";
constexpr char kFailed[] = "ERROR: Loopback Test Failed\n";
constexpr uint32_t kEthRfeCtl = 0x508;

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class LoopbackFlow : public ::testing::Test {
 protected:
  LoopbackFlow() {
    bench_.CreateAdapter();
    bench_.SetLinkDelay(2500);
    bench_.Update([](emu::AdapterState& s) {
      s.network.has_address = true;
      s.network.address = {192, 168, 1, 22};
      // The controller is not the first row of the address table.
      s.network.interface_index = 23;
    });
    Plug(1000);
  }
  void Plug(uint32_t speed, uint32_t noise = 0) {
    bench_.Update([&](emu::AdapterState& s) {
      s.network.plug_speed = speed;
      s.network.plug_noise = noise;
    });
  }
  int Run(const std::vector<std::string>& arguments) {
    const int64_t start = bench_.NowMs();
    const int code = bench_.Run(arguments);
    elapsed_ = bench_.NowMs() - start;
    return code;
  }
  std::string AfterBanner() {
    const std::string output = bench_.TakeOutput();
    return output.substr(output.find("\n\n\n") + 3);
  }

  EmuBench bench_;
  int64_t elapsed_ = 0;
};

TEST_F(LoopbackFlow, GigabitPlugPassesThreeTimes) {
  bench_.SetRegister(kEthRfeCtl, 0x00000705);  // test bits set before, and others
  EXPECT_EQ(Run({"-L"}), 0);
  EXPECT_EQ(AfterBanner(), std::string(kPassed) + kPassed + kPassed);
  const emu::AdapterState state = bench_.State();
  EXPECT_EQ(state.registers.at(kEthRfeCtl), 0x00000005u);
  EXPECT_TRUE(state.network.arp.empty());
  EXPECT_EQ(state.phy.at(24), 0x0401u);
  EXPECT_EQ(state.cable_register & 0x0020, 0x0020u);  // register 18 as the emulator keeps it

  // The filter bits written set, then cleared.
  const std::vector<emu::LogEntry> writes = bench_.LogOf(kCmdWriteRegister);
  ASSERT_EQ(writes.size(), 2u);
  // 2000 ms settle, link up at the second poll (1000 ms), 3000 ms settle, three 500 ms pauses.
  EXPECT_EQ(elapsed_, 2000 + 1000 + 3000 + 3 * 500);
}

TEST_F(LoopbackFlow, WrongModeMakesNoRequest) {
  bench_.ClearLog();
  EXPECT_EQ(Run({"-L", "-l", "100hd"}), 8);
  EXPECT_EQ(AfterBanner(), "ERROR: Please set the loopback link to 100fd or 1000fd\n");
  EXPECT_EQ(bench_.LogOf(kCmdSetLinkMode).size(), 0u);
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 0u);
}

TEST_F(LoopbackFlow, NoPlug) {
  Plug(0);
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), "Unable to link, please check the loopback connector\n");
  EXPECT_EQ(elapsed_, 2000 + 10 * 1000);
}

TEST_F(LoopbackFlow, WrongSpeed) {
  Plug(100);
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), "Unable to link to 1000fd, check the loopback connector\n");

  EXPECT_EQ(Run({"-L", "-l", "100fd"}), 0);
  EXPECT_EQ(Count(bench_.Output(), kPassed), 3u);
  EXPECT_EQ(bench_.LogOf(kCmdWritePhy).size(), 2u);  // only the gigabit run writes 18 and 24
}

TEST_F(LoopbackFlow, OtherTrafficFailsExchanges) {
  Plug(1000, 1);  // the first exchange captures another packet; its retry passes
  EXPECT_EQ(Run({"-L"}), 0);
  EXPECT_EQ(AfterBanner(), std::string(kPassed) + kPassed + kPassed);

  Plug(1000, 4);  // the whole first run and the first exchange of the second
  EXPECT_EQ(Run({"-L"}), 0);
  EXPECT_EQ(AfterBanner(), std::string(kFailed) + kPassed + kPassed);

  Plug(1000, 9);
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), std::string(kFailed) + kFailed + kFailed);
  EXPECT_TRUE(bench_.State().network.arp.empty());
  EXPECT_EQ(bench_.Register(kEthRfeCtl) & 0x700, 0u);
}

TEST_F(LoopbackFlow, NoAddress) {
  bench_.Update([](emu::AdapterState& s) { s.network.has_address = false; });
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), "ERROR: Src IP not enabled\n");
  EXPECT_EQ(bench_.LogOf(kCmdWriteRegister).size(), 0u);
}

TEST_F(LoopbackFlow, FilterRegisterFailures) {
  bench_.FailStatus(kCmdReadRegister, 2, 1);  // register 0 is read first
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_TRUE(AfterBanner().ends_with("ERROR: Failed to read  ETH_RFE_CTL register\n"));

  bench_.FailStatus(kCmdWriteRegister, 2, 1);  // the write that clears the bits
  EXPECT_EQ(Run({"-L"}), 8);
  const std::string output = AfterBanner();
  EXPECT_EQ(Count(output, kPassed), 3u);
  EXPECT_TRUE(output.ends_with("ERROR: Failed to write  ETH_RFE_CTL register\n")) << output;
}

// The bits are read back after the clearing write: one that answered success without taking
// would leave the port open to every later test.
TEST_F(LoopbackFlow, FilterBitsLeftSetFailTheRun) {
  bench_.FailStatus(kCmdWriteRegister, 0, 1);  // the clearing write: success, no effect
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), std::string(kPassed) + kPassed + kPassed +
                               "ERROR: ETH_RFE_CTL reads 0x700 after 0x0 was written to clear "
                               "bits 0x700\n");

  bench_.SetRegister(kEthRfeCtl, 0);
  bench_.FailStatus(kCmdReadRegister, 2, 3);  // after register 0 and the two updates' reads
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_TRUE(AfterBanner().ends_with(std::string(kPassed) +
                                      "ERROR: READ_REGISTER failed !    status:Other Error\n"
                                      "ERROR: Failed to read  ETH_RFE_CTL register\n"));
}

// Bits that were never set: nothing comes back and every exchange ends in its time-out, which
// must remove the ARP entry as every other way out does (the bench checks it).
TEST_F(LoopbackFlow, FilterBitsNeverSetTimeOut) {
  bench_.FailStatus(kCmdWriteRegister, 0);
  EXPECT_EQ(Run({"-L"}), 8);
  EXPECT_EQ(AfterBanner(), std::string(kFailed) + kFailed + kFailed);
}

// A set-up write the PHY refused ends the run as a failed access, with register 18 given back
// the value it had and read back, before any link is waited for.
TEST_F(LoopbackFlow, FailedSetUpWriteEndsTheRun) {
  bench_.Update([](emu::AdapterState& s) { s.cable_register = 0; });
  bench_.FailStatus(kCmdWritePhy, 2);  // register 18
  bench_.ClearLog();
  const int64_t start = bench_.NowMs();
  EXPECT_EQ(Run({"-L"}), 6);
  EXPECT_EQ(AfterBanner(),
            "ERROR: WRITE_PHY failed !    status:Other Error\n"
            "ERROR: The gigabit loopback set-up failed: PHY register 0x12 not written; PHY "
            "register 0x12 restored to 0x0000\n");
  EXPECT_EQ(bench_.LogOf(kCmdWritePhy).size(), 2u);  // the refused write and the restoring one
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 2u);   // before, and the read-back
  EXPECT_EQ(bench_.NowMs() - start, 0);

  bench_.FailStatus(kCmdWritePhy, 2, 1);  // register 24, after 18 took its bit
  EXPECT_EQ(bench_.Run({"-a", "-L"}), 6);
  EXPECT_EQ(bench_.State().cable_register & 0x0020, 0u);
  const nlohmann::json doc = nlohmann::json::parse(bench_.TakeOutput());
  EXPECT_EQ(doc["exit_code"], 6);
  EXPECT_EQ(doc["error"],
            "The gigabit loopback set-up failed: PHY register 0x18 not written; PHY register "
            "0x12 restored to 0x0000");
  EXPECT_EQ(doc["warnings"], nlohmann::json({"WRITE_PHY failed !    status:Other Error"}));
  EXPECT_EQ(doc["loopback"]["runs"], nlohmann::json::array());
}

}  // namespace
