// link_mode_flow_test.cpp - whole runs with -l against the emulated adapter and link partner: the
// mode requested, the waits on the virtual clock, the reported mode and the exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/request_block.h"
#include "support/emu_bench.h"
#include "support/temp_dir.h"

namespace {

constexpr char kEveryAbility[] = "autoneg 1000fd,100fd,100hd,10fd,10hd";
// The emulated link comes up 2500 ms after SET_LINK_MODE restarts it: one poll after the wait.
constexpr uint32_t kLinkDelayMs = 2500;

// The output after the banner's lines.
std::string AfterBanner(const std::string& output) {
  size_t position = 0;
  for (int line = 0; line < 5 && position != std::string::npos; ++line) {
    position = output.find('\n', position) + 1;
  }
  return output.substr(position);
}

class LinkModeFlow : public ::testing::Test {
 protected:
  LinkModeFlow() {
    bench_.CreateAdapter();
    bench_.SetLinkDelay(kLinkDelayMs);
  }
  // Runs with |arguments| and returns the exit code; |elapsed_| gets the virtual time it took.
  int Run(const std::vector<std::string>& arguments) {
    const int64_t start = bench_.NowMs();
    const int code = bench_.Run(arguments);
    elapsed_ = bench_.NowMs() - start;
    return code;
  }

  EmuBench bench_;
  int64_t elapsed_ = 0;
};

struct ModeCase {
  const char* partner;
  const char* mode;
  uint32_t code;
  const char* line;
};

const ModeCase kModeCases[] = {
    {kEveryAbility, "10hd", 1, "\nLink mode: 10 HD\n"},
    {kEveryAbility, "10fd", 2, "\nLink mode: 10 FD\n"},
    {kEveryAbility, "100hd", 3, "\nLink mode: 100 HD\n"},
    {kEveryAbility, "100fd", 4, "\nLink mode: 100 FD\n"},
    {kEveryAbility, "1000fd", 5, "\nLink mode: 1000 FD\n"},
    // This PHY slave: the same line as master.
    {"autoneg 1000fd,master", "1000fd", 5, "\nLink mode: 1000 FD\n"},
    // A forced partner is found by parallel detection, at half duplex.
    {"forced 100fd", "100fd", 4, "\nLink mode: 100 HD\n"},
};

class LinkModeCaseFlow : public LinkModeFlow, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(LinkModeCaseFlow, ReportsTheModeTheLinkCameUpIn) {
  const ModeCase& c = GetParam();
  bench_.SetPartner(c.partner);
  EXPECT_EQ(Run({"-l", c.mode}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), c.line);
  const auto requests = bench_.LogOf(kCmdSetLinkMode);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].in_length, 20u);
  EXPECT_EQ(elapsed_, 2000 + 500);
}

INSTANTIATE_TEST_SUITE_P(Modes, LinkModeCaseFlow, ::testing::ValuesIn(kModeCases));

TEST_F(LinkModeFlow, NoPartnerIsLinkDownAfterTenPolls) {
  EXPECT_EQ(Run({"-l", "100fd"}), 4);
  EXPECT_EQ(AfterBanner(bench_.Output()), "\nLink mode: LINK DOWN\n");
  EXPECT_EQ(elapsed_, 2000 + 10 * 500);
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 10u * 3);  // PHY_CTRL and PHY_BMS_REG twice a poll
}

TEST_F(LinkModeFlow, NoCommonModeIsLinkDown) {
  bench_.SetPartner("autoneg 100fd,10fd");
  EXPECT_EQ(Run({"-l", "1000fd"}), 4);
  EXPECT_EQ(AfterBanner(bench_.Output()), "\nLink mode: LINK DOWN\n");
}

TEST_F(LinkModeFlow, SlowLinkIsFoundByALaterPoll) {
  bench_.SetPartner(kEveryAbility);
  bench_.SetLinkDelay(6000);
  EXPECT_EQ(Run({"-l", "1000fd"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "\nLink mode: 1000 FD\n");
  EXPECT_EQ(elapsed_, 6000);
}

TEST_F(LinkModeFlow, ReplyByteOneWaitsTwoSecondsMoreOnceUp) {
  bench_.SetPartner(kEveryAbility);
  bench_.SetLinkModeReply(1);
  EXPECT_EQ(Run({"-l", "100fd"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "\nLink mode: 100 FD\n");
  EXPECT_EQ(elapsed_, 2000 + 500 + 2000);
}

TEST_F(LinkModeFlow, FailedRequestEndsWithFourAndReadsNoPhy) {
  bench_.SetPartner(kEveryAbility);
  bench_.FailStatus(kCmdSetLinkMode, 2);
  EXPECT_EQ(Run({"-l", "100fd"}), 4);
  EXPECT_EQ(AfterBanner(bench_.Output()),
            "ERROR: SET_LINK_MODE failed !    status:Other Error\n"
            "ERROR: Set link mode failed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdReadPhy).empty());
  EXPECT_EQ(elapsed_, 0);
}

TEST_F(LinkModeFlow, FailedExchangeEndsWithFour) {
  bench_.FailCall(kCmdSetLinkMode, 31);
  EXPECT_EQ(Run({"-l", "10fd"}), 4);
  EXPECT_EQ(AfterBanner(bench_.Output()),
            "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n"
            "ERROR: Set link mode failed\n");
}

TEST_F(LinkModeFlow, PollThatCannotReadThePhyCountsAsNoLink) {
  bench_.SetPartner(kEveryAbility);
  bench_.FailStatus(kCmdReadPhy, 2, /*skip=*/0, /*count=*/-1);
  EXPECT_EQ(Run({"-l", "100fd"}), 4);
  const std::string output = AfterBanner(bench_.Output());
  const std::string failure =
      "ERROR: READ_PHY failed !    status:Other Error\n"
      "ERROR: ERROR:  LanPhyGetLinkState() failed reading PHY_CTRL.\n";
  std::string expected;
  for (int poll = 0; poll < 10; ++poll) expected += failure;
  EXPECT_EQ(output, expected + "\nLink mode: LINK DOWN\n");
}

TEST_F(LinkModeFlow, FollowsASuccessfulEepromRead) {
  TempDir temp;
  bench_.SetPartner(kEveryAbility);
  const std::string file = temp.File("saved.bin");
  EXPECT_EQ(Run({"-r", "-b", file, "-l", "100fd"}), 0);
  const std::string output = bench_.Output();
  ASSERT_GE(output.size(), 19u);
  EXPECT_EQ(output.substr(output.size() - 19), "\nLink mode: 100 FD\n");
  EXPECT_EQ(bench_.LogOf(kCmdSetLinkMode).size(), 1u);
}

TEST_F(LinkModeFlow, FollowsASuccessfulEepromProgramming) {
  TempDir temp;
  bench_.SetPartner(kEveryAbility);
  const std::string file = temp.File("image.bin");
  const std::string image(64, '\x5A');
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(image.data(), 1, image.size(), out);
  std::fclose(out);
  EXPECT_EQ(Run({"-w", "-b", file, "-l", "10fd"}), 0);
  const std::string output = bench_.Output();
  EXPECT_NE(output.find("The current device EEPROM was programmed with 64 bytes\n"),
            std::string::npos);
  EXPECT_EQ(output.substr(output.size() - 18), "\nLink mode: 10 FD\n");
}

TEST_F(LinkModeFlow, NotRunAfterAFailedEepromRead) {
  TempDir temp;
  bench_.SetPartner(kEveryAbility);
  bench_.FailStatus(kCmdE2pReadBlock, 2);
  EXPECT_EQ(Run({"-r", "-b", temp.File("saved.bin"), "-l", "100fd"}), 5);
  EXPECT_TRUE(bench_.LogOf(kCmdSetLinkMode).empty());
}

}  // namespace
