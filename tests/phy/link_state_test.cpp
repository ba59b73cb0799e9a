// link_state_test.cpp - the link-state decoder on hand-set PHY registers: every decoding path,
// the undecodable combinations and every failed read.
#include "phy/link_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phy/scripted_driver.h"
#include "support/capture_console.h"

namespace {

using phy_fake::TableDevice;

struct Registers {
  uint16_t ctrl = 0;
  uint16_t status = 0;
  uint16_t partner = 0;
  uint16_t advertised = 0;
  uint16_t gigabit_ctrl = 0;
  uint16_t gigabit_status = 0;
};

class LinkStateTest : public ::testing::Test {
 protected:
  void Set(const Registers& r) {
    device_.phy = {{0, r.ctrl},    {1, r.status},       {4, r.advertised},
                   {5, r.partner}, {9, r.gigabit_ctrl}, {10, r.gigabit_status}};
  }
  int Decode() { return LanPhyGetLinkState(driver_); }

  TableDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

const std::vector<uint32_t> kStatusReads = {0, 1, 1};
const std::vector<uint32_t> kNegotiatedReads = {0, 1, 1, 5, 0, 4, 9, 10};
const std::vector<uint32_t> kForcedReads = {0, 1, 1, 5, 0};

struct DecodeCase {
  const char* name;
  Registers registers;
  int expected;
  const char* message;  // after the "ERROR: " marker; "" for none
  std::vector<uint32_t> reads;
};

// Auto-negotiation on and complete, link up.
constexpr uint16_t kAnegCtrl = 0x1000;
constexpr uint16_t kUpComplete = 0x0024;

const DecodeCase kDecodeCases[] = {
    {"LinkStatusClearIsDownSilently", {.ctrl = kAnegCtrl, .status = 0x0020}, -1, "", kStatusReads},
    {"NegotiationIncompleteIsZero", {.ctrl = kAnegCtrl, .status = 0x0004}, 0, "", kStatusReads},
    {"Common100FullAnd10FullGives100Full",
     {.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0140, .advertised = 0x01E0},
     4,
     "",
     kNegotiatedReads},
    {"Only100HalfInCommonGives100Half",
     {.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x00A0, .advertised = 0x0080},
     3,
     "",
     kNegotiatedReads},
    {"Only10FullInCommonGives10Full",
     {.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0060, .advertised = 0x0040},
     2,
     "",
     kNegotiatedReads},
    {"Only10HalfInCommonGives10Half",
     {.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0020, .advertised = 0x01E0},
     1,
     "",
     kNegotiatedReads},
    {"GigabitBothEndsMasterBeforeAny10_100",
     {.ctrl = kAnegCtrl,
      .status = kUpComplete,
      .partner = 0x01E0,
      .advertised = 0x01E0,
      .gigabit_ctrl = 0x0200,
      .gigabit_status = 0x4800},
     5,
     "",
     kNegotiatedReads},
    {"GigabitBothEndsSlave",
     {.ctrl = kAnegCtrl,
      .status = kUpComplete,
      .partner = 0x01E0,
      .advertised = 0x01E0,
      .gigabit_ctrl = 0x0200,
      .gigabit_status = 0x0800},
     6,
     "",
     kNegotiatedReads},
    {"GigabitMasterSlaveFault",
     {.ctrl = kAnegCtrl,
      .status = kUpComplete,
      .partner = 0x01E0,
      .advertised = 0x01E0,
      .gigabit_ctrl = 0x0200,
      .gigabit_status = 0xC800},
     -1,
     "ERROR:  LanPhyGetLinkState() bad MS_CONFIG_FAULT, PHY_1000T_STATUS=0xC800\n",
     kNegotiatedReads},
    {"GigabitOnlyAdvertisedHereFallsTo10_100",
     {.ctrl = kAnegCtrl,
      .status = kUpComplete,
      .partner = 0x0100,
      .advertised = 0x01E0,
      .gigabit_ctrl = 0x0200,
      .gigabit_status = 0x4000},
     4,
     "",
     kNegotiatedReads},
    {"GigabitOnlyOfferedByPartnerFallsTo10_100",
     {.ctrl = kAnegCtrl,
      .status = kUpComplete,
      .partner = 0x0080,
      .advertised = 0x01E0,
      .gigabit_ctrl = 0x0000,
      .gigabit_status = 0x4800},
     3,
     "",
     kNegotiatedReads},
    {"NoCommonAbilityIsReported",
     {.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0020, .advertised = 0x0100},
     -1,
     "ERROR:  LanPhyGetLinkState() bad 10/100 reg's, wAdv=0x0100, wLpAbility=0x0020.\n",
     kNegotiatedReads},
    {"PartnerAdvertisedNothingUsesControlWord",
     {.ctrl = kAnegCtrl | 0x2000 | 0x0100,
      .status = kUpComplete,
      .partner = 0x001F,
      .advertised = 0x01E0},
     4,
     "",
     kForcedReads},
    {"ForcedTenHalf", {.ctrl = 0x0000, .status = 0x0004}, 1, "", kForcedReads},
    {"ForcedTenFull", {.ctrl = 0x0100, .status = 0x0004}, 2, "", kForcedReads},
    {"ForcedHundredHalf", {.ctrl = 0x2000, .status = 0x0004}, 3, "", kForcedReads},
    {"ForcedHundredFull",
     {.ctrl = 0x2100, .status = 0x0004, .partner = 0x01E0},
     4,
     "",
     kForcedReads},
    {"ForcedGigabitHalfIsReportedWithoutReadingGigabitCtrl",
     {.ctrl = 0x0040, .status = 0x0004},
     -1,
     "ERROR:  LanPhyGetLinkState() BCR=0x0040, says 1000HD???\n",
     kForcedReads},
    {"ForcedGigabitManualMaster",
     {.ctrl = 0x0140, .status = 0x0004, .gigabit_ctrl = 0x1800},
     5,
     "",
     {0, 1, 1, 5, 0, 9}},
    {"ForcedGigabitManualSlave",
     {.ctrl = 0x0140, .status = 0x0004, .gigabit_ctrl = 0x1000},
     6,
     "",
     {0, 1, 1, 5, 0, 9}},
    {"ForcedGigabitWithoutManualRole",
     {.ctrl = 0x0140, .status = 0x0004, .gigabit_ctrl = 0x0A00},
     -1,
     "ERROR:  LanPhyGetLinkState() non-ANEG GbE bad PHY_1000T_CTRL=0x0A00\n",
     {0, 1, 1, 5, 0, 9}},
    {"ReservedSpeedBits",
     {.ctrl = 0x2140, .status = 0x0004},
     -1,
     "ERROR:  LanPhyGetLinkState() invalid speed bits in BCR=0x2140.\n",
     kForcedReads},
};

class LinkStateDecodeTest : public LinkStateTest,
                            public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(LinkStateDecodeTest, DecodesRegisters) {
  const DecodeCase& c = GetParam();
  Set(c.registers);
  EXPECT_EQ(Decode(), c.expected);
  EXPECT_EQ(console_.output(), c.message[0] == '\0' ? "" : std::string("ERROR: ") + c.message);
  EXPECT_EQ(device_.PhyReads(), c.reads);
}

INSTANTIATE_TEST_SUITE_P(Paths, LinkStateDecodeTest, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkStateTest, SecondStatusReadDecidesWhateverTheFirstShowed) {
  Set({.ctrl = 0x2100, .status = 0x0004});
  int status_reads = 0;
  // First read: a latched drop (link bit clear); second: up.
  device_.before_phy_read = [&](uint32_t index) {
    if (index == 1) device_.phy[1] = ++status_reads == 1 ? 0x0000 : 0x0004;
  };
  EXPECT_EQ(Decode(), 4);

  status_reads = 0;
  device_.log.clear();
  device_.before_phy_read = [&](uint32_t index) {
    if (index == 1) device_.phy[1] = ++status_reads == 1 ? 0x0004 : 0x0000;
  };
  EXPECT_EQ(Decode(), -1);
  EXPECT_EQ(console_.output(), "");
}

TEST_F(LinkStateTest, WideAnswersAreCutToSixteenBits) {
  device_.phy_returned = 20;  // the fake puts 0xABCD in the upper half
  Set({.ctrl = kAnegCtrl,
       .status = kUpComplete,
       .partner = 0x01E0,
       .advertised = 0x01E0,
       .gigabit_ctrl = 0x0200,
       .gigabit_status = 0x0800});
  EXPECT_EQ(Decode(), 6);
  uint16_t value = 1;
  EXPECT_TRUE(LanPhyReadWord(driver_, 9, &value));
  EXPECT_EQ(value, 0x0200);
}

TEST_F(LinkStateTest, ReadWordFailureLeavesZero) {
  device_.phy[4] = 0x01E0;
  device_.failing_phy = {4};
  uint16_t value = 0x1234;
  EXPECT_FALSE(LanPhyReadWord(driver_, 4, &value));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(console_.output(), "ERROR: READ_PHY failed !    status:Other Error\n");
}

struct ReadFailureCase {
  Registers registers;
  int failing_read;  // ordinal of the READ_PHY that fails
  const char* message;
};

const ReadFailureCase kReadFailures[] = {
    {{.ctrl = kAnegCtrl, .status = kUpComplete},
     1,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_CTRL.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete},
     2,
     "ERROR:  LanPhyGetLinkState() failed 1st reading PHY_BMS_REG.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete},
     3,
     "ERROR:  LanPhyGetLinkState() failed 2nd reading PHY_BMS_REG.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete},
     4,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_ANLPA_REG\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete},
     5,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_BMC_REG.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0100},
     6,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_AUTONEG_ADV.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0100},
     7,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_CTRL.\n"},
    {{.ctrl = kAnegCtrl, .status = kUpComplete, .partner = 0x0100},
     8,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_STATUS.\n"},
    {{.ctrl = 0x0140, .status = 0x0004},
     6,
     "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_CTRL for non-ANEG\n"},
};

TEST_F(LinkStateTest, EveryFailedReadIsReportedAfterTheDriverMessage) {
  for (const ReadFailureCase& c : kReadFailures) {
    SCOPED_TRACE(c.message);
    TableDevice device;
    CaptureConsole console;
    Driver driver(device, console, RequestWords{});
    device.phy = {
        {0, c.registers.ctrl}, {1, c.registers.status}, {5, c.registers.partner}, {4, 0x01E0}};
    device.failing_phy_reads = {c.failing_read};
    EXPECT_EQ(LanPhyGetLinkState(driver), -1);
    EXPECT_EQ(console.output(), std::string("ERROR: READ_PHY failed !    status:Other Error\n") +
                                    "ERROR: " + c.message);
    EXPECT_EQ(device.PhyReads().size(), static_cast<size_t>(c.failing_read));
  }
}

}  // namespace
