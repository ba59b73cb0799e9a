// link_mode_test.cpp - the link-mode stage on a scripted driver: the request, the waits, the
// polls, the report and what it hands on.
#include "phy/link_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phy/scripted_driver.h"
#include "support/capture_console.h"
#include "support/virtual_clock.h"

namespace {

using phy_fake::TableDevice;

class LinkModeStepTest : public ::testing::Test {
 protected:
  // Link up at 100 full duplex, forced.
  void LinkUp() { device_.phy = {{0, 0x2100}, {1, 0x0004}}; }
  // Asks for 100 full duplex.
  LinkModeResult Run() { return SetLinkMode(driver_, clock_, 4, &outcome_); }
  // Each poll reads PHY_BMS_REG twice.
  int StatePolls() const {
    int status_reads = 0;
    for (uint32_t index : device_.PhyReads()) status_reads += index == 1 ? 1 : 0;
    return status_reads / 2;
  }

  TableDevice device_;
  CaptureConsole console_;
  VirtualClock clock_;
  Driver driver_{device_, console_, RequestWords{}};
  LinkModeOutcome outcome_;
};

TEST_F(LinkModeStepTest, SendsTheModeAndReportsTheLinkAfterTheSettleWait) {
  LinkUp();
  EXPECT_EQ(Run(), LinkModeResult::kLinkUp);
  EXPECT_EQ(console_.output(), "\nLink mode: 100 FD\n");
  EXPECT_EQ(clock_.sleeps(), (std::vector<uint32_t>{2000}));
  ASSERT_FALSE(device_.log.empty());
  EXPECT_EQ(device_.log[0].command, kCmdSetLinkMode);
  EXPECT_EQ(device_.log[0].data_word, 4u);
  EXPECT_EQ(device_.log[0].input_length, 20u);
  EXPECT_EQ(outcome_.link_state, 4);
  EXPECT_EQ(outcome_.reply, 0);
}

TEST_F(LinkModeStepTest, ReplyByteOneWaitsLongerOnceUp) {
  LinkUp();
  device_.link_mode_reply = 1;
  Run();
  EXPECT_EQ(clock_.sleeps(), (std::vector<uint32_t>{2000, 2000}));
  EXPECT_EQ(outcome_.reply, 1);
}

TEST_F(LinkModeStepTest, OtherReplyBytesAreHandedOnWithoutTheLongerWait) {
  LinkUp();
  device_.link_mode_reply = 2;
  Run();
  EXPECT_EQ(clock_.sleeps(), (std::vector<uint32_t>{2000}));
  EXPECT_EQ(outcome_.reply, 2);
}

TEST_F(LinkModeStepTest, PollsEveryHalfSecondUntilTheLinkComesUp) {
  LinkUp();
  int status_reads = 0;
  // Down for the first two polls (two status reads each), up on the third.
  device_.before_phy_read = [&](uint32_t index) {
    if (index == 1) device_.phy[1] = ++status_reads <= 4 ? 0x0000 : 0x0004;
  };
  EXPECT_EQ(Run(), LinkModeResult::kLinkUp);
  EXPECT_EQ(clock_.sleeps(), (std::vector<uint32_t>{2000, 500, 500}));
  EXPECT_EQ(StatePolls(), 3);
}

TEST_F(LinkModeStepTest, NoLinkAfterTenPollsSetsFourAndGoesOn) {
  device_.phy = {{0, 0x1000}, {1, 0x0000}};
  EXPECT_EQ(Run(), LinkModeResult::kNoLink);
  EXPECT_EQ(console_.output(), "\nLink mode: LINK DOWN\n");
  std::vector<uint32_t> expected_sleeps{2000};
  expected_sleeps.insert(expected_sleeps.end(), 10, 500);
  EXPECT_EQ(clock_.sleeps(), expected_sleeps);
  EXPECT_EQ(StatePolls(), 10);
  EXPECT_EQ(outcome_.link_state, -1);
}

TEST_F(LinkModeStepTest, NegotiationThatNeverCompletesIsNoLink) {
  device_.phy = {{0, 0x1000}, {1, 0x0004}};
  EXPECT_EQ(Run(), LinkModeResult::kNoLink);
  EXPECT_EQ(console_.output(), "\nLink mode: LINK DOWN\n");
  EXPECT_EQ(outcome_.link_state, -1);
}

TEST_F(LinkModeStepTest, FailedRequestStopsTheRunWithoutWaiting) {
  device_.failing_status[kCmdSetLinkMode] = 2;
  EXPECT_EQ(Run(), LinkModeResult::kRequestFailed);
  EXPECT_EQ(console_.output(),
            "ERROR: SET_LINK_MODE failed !    status:Other Error\nERROR: Set link mode failed\n");
  EXPECT_TRUE(clock_.sleeps().empty());
  EXPECT_TRUE(device_.PhyReads().empty());
  EXPECT_EQ(outcome_.link_state, -1);
  EXPECT_EQ(outcome_.reply, 0);
}

TEST_F(LinkModeStepTest, FailedExchangeStopsTheRun) {
  device_.failing_call[kCmdSetLinkMode] = 31;
  EXPECT_EQ(Run(), LinkModeResult::kRequestFailed);
  EXPECT_EQ(console_.output(),
            "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n"
            "ERROR: Set link mode failed\n");
}

TEST(LinkModeName, NamesEveryUpStateAndBothGigabitRolesAlike) {
  EXPECT_STREQ(LinkModeName(1), "10 HD");
  EXPECT_STREQ(LinkModeName(2), "10 FD");
  EXPECT_STREQ(LinkModeName(3), "100 HD");
  EXPECT_STREQ(LinkModeName(4), "100 FD");
  EXPECT_STREQ(LinkModeName(5), "1000 FD");
  EXPECT_STREQ(LinkModeName(6), "1000 FD");
}

}  // namespace
