// link_decoder_states_e2e_test.cpp - the built utility's -l on an emulated adapter whose PHY shows
// register combinations no link partner produces (pinned with "qnt5200-emu phy --pin"): each poll
// reports what it cannot decode, and the link counts as down.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/end_to_end.h"

namespace {

const std::string kBanner = BannerText();
constexpr int kPolls = 10;

class LinkDecoderState : public EndToEnd {
 protected:
  void SetUp() override { Tool("create"); }

  // The banner, |line| once per poll, then the link-down line.
  static std::string EveryPoll(const std::string& line) {
    std::string output = kBanner;
    for (int poll = 0; poll < kPolls; ++poll) output += line;
    return output + "\nLink mode: LINK DOWN\n";
  }
  // The PHY registers read, in order, from the request log.
  std::vector<std::string> PhyReads() {
    std::vector<std::string> reads;
    std::istringstream lines(Log());
    std::string line;
    while (std::getline(lines, line)) {
      const size_t param = line.find(" param=");
      if (line.rfind("cmd=10 ", 0) == 0) reads.push_back(line.substr(param + 7, 10));
    }
    return reads;
  }
};

// Gigabit negotiated with a partner, and the 1000BASE-T status showing a master/slave fault.
TEST_F(LinkDecoderState, MasterSlaveFaultWithTheLinkUp) {
  Tool("link --partner 1000fd --delay 0");
  Tool("phy 10 --pin 0x8800");
  const ProgramRun run = Run("-l 1000fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output, EveryPoll("ERROR: ERROR:  LanPhyGetLinkState() bad MS_CONFIG_FAULT, "
                                  "PHY_1000T_STATUS=0x8800\n"));
}

TEST_F(LinkDecoderState, InvalidSpeedBits) {
  Tool("phy 0 --pin 0x2140");  // negotiation off, both speed bits, full duplex
  Tool("phy 1 --pin 0x794d");  // link up
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output,
            EveryPoll("ERROR: ERROR:  LanPhyGetLinkState() invalid speed bits in BCR=0x2140.\n"));
}

TEST_F(LinkDecoderState, ForcedGigabitWithoutManualMasterSlave) {
  Tool("phy 0 --pin 0x0140");  // negotiation off, 1000 Mb/s, full duplex
  Tool("phy 1 --pin 0x794d");
  Tool("phy 9 --pin 0x0200");  // advertises 1000 full duplex, no manual master/slave
  const ProgramRun run = Run("-l 1000fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output, EveryPoll("ERROR: ERROR:  LanPhyGetLinkState() non-ANEG GbE bad "
                                  "PHY_1000T_CTRL=0x0200\n"));
}

// Negotiation enabled and not complete while the link is up: no message, and each poll reads
// only the control and (twice) the status register.
TEST_F(LinkDecoderState, NegotiationIncompleteWithTheLinkUp) {
  Tool("phy 1 --pin 0x794d");
  Tool("log --clear");
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output, EveryPoll(""));
  std::vector<std::string> expected;
  for (int poll = 0; poll < kPolls; ++poll) {
    expected.insert(expected.end(), {"0x00000000", "0x00000001", "0x00000001"});
  }
  EXPECT_EQ(PhyReads(), expected);
}

}  // namespace
