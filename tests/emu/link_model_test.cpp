// link_model_test.cpp - what the PHY registers show for link partners and local settings: the
// resolved mode, master/slave, parallel detection, timing and the latching link status.
#include <gtest/gtest.h>

#include "emu/adapter_state.h"
#include "emu/link_model.h"
#include "emu/phy_model.h"
#include "emu/phy_registers.h"

namespace {

emu::AdapterState AdapterWithPartner(const std::string& partner, uint32_t delay_ms = 0) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  EXPECT_TRUE(emu::ParsePartner(partner, &state.link.partner)) << partner;
  state.link.delay_ms = delay_ms;
  return state;
}

struct NegotiationCase {
  const char* name;
  const char* partner;
  uint16_t control;      // register 0 written before negotiation starts
  uint16_t advertise;    // register 4
  uint16_t gig_control;  // register 9
  bool up;
  int speed;
  bool full_duplex;
  uint16_t partner_ability;  // register 5
  uint16_t gig_status;       // register 10
};

constexpr uint16_t kAn = 0x1140;
constexpr uint16_t kAllAdv = 0x01E1;

const NegotiationCase kNegotiationCases[] = {
    {"EverythingGivesGigabitMaster", "autoneg 1000fd,100fd,100hd,10fd,10hd", kAn, kAllAdv, 0x0200,
     true, 1000, true, 0x41E1, 0x7800},
    {"PartnerManualMasterMakesUsSlave", "autoneg 1000fd,master", kAn, kAllAdv, 0x0200, true, 1000,
     true, 0x4001, 0x3800},
    {"BothManualSlaveIsAConfigurationFault", "autoneg 1000fd,100fd,slave", kAn, kAllAdv, 0x1200,
     false, 0, false, 0x4101, 0x8800},
    {"GigabitNotAdvertisedFallsBackTo100Full", "autoneg 1000fd,100fd,10fd", kAn, kAllAdv, 0x0000,
     true, 100, true, 0x4141, 0x0800},
    {"HundredHalfOnlyInCommon", "autoneg 100hd,10hd", kAn, 0x0181, 0x0200, true, 100, false, 0x40A1,
     0x0000},
    {"TenFullBeatsTenHalf", "autoneg 10fd,10hd", kAn, kAllAdv, 0x0200, true, 10, true, 0x4061,
     0x0000},
    {"NothingInCommonStaysDown", "autoneg 10hd", kAn, 0x0101, 0x0200, false, 0, false, 0x4021,
     0x0000},
    {"ForcedPartnerIsDetectedAtHalfDuplex", "forced 100fd", kAn, kAllAdv, 0x0200, true, 100, false,
     0x0000, 0x0000},
    {"ForcedGigabitPartnerCannotBeDetected", "forced 1000fd", kAn, kAllAdv, 0x0200, false, 0, false,
     0x0000, 0x0000},
    {"ForcedHundredFullMeetsNegotiatingPartner", "autoneg 100fd,100hd", 0x2100, kAllAdv, 0x0200,
     true, 100, true, 0x0000, 0x0000},
    {"ForcedGigabitBothEndsManualMaster", "forced 1000fd,slave", 0x0140, kAllAdv, 0x1800, true,
     1000, true, 0x0000, 0x7000},
    {"ForcedGigabitWithoutManualConfigStaysDown", "forced 1000fd", 0x0140, kAllAdv, 0x0200, false,
     0, false, 0x0000, 0x0000},
    {"NoCableNoLink", "none", kAn, kAllAdv, 0x0200, false, 0, false, 0x0000, 0x0000},
};

class Negotiation : public ::testing::TestWithParam<NegotiationCase> {};

TEST_P(Negotiation, ResolvesAsSiliconWould) {
  const NegotiationCase& c = GetParam();
  emu::AdapterState state = AdapterWithPartner(c.partner);
  emu::WritePhy(state, emu::kPhyAdvertise, c.advertise, 0);
  emu::WritePhy(state, emu::kPhyGigControl, c.gig_control, 0);
  emu::WritePhy(state, emu::kPhyControl, c.control | emu::kBmcRestartAn, 0);
  const emu::LinkResolution link = emu::ResolveLink(state, 0);
  EXPECT_EQ(link.up, c.up);
  EXPECT_EQ(link.speed, c.speed);
  EXPECT_EQ(link.full_duplex, c.full_duplex);
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyPartnerAbility, 0), c.partner_ability);
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyGigStatus, 0), c.gig_status);
  emu::ReadPhy(state, emu::kPhyStatus, 0);  // clears the drop the restart latched
  const uint32_t status = emu::ReadPhy(state, emu::kPhyStatus, 0);
  EXPECT_EQ((status & emu::kBmsLinkStatus) != 0, c.up);
  const bool negotiating = c.control & emu::kBmcAnEnable;
  EXPECT_EQ((status & emu::kBmsAnComplete) != 0, negotiating && std::string(c.partner) != "none" &&
                                                     std::string(c.partner) != "forced 1000fd");
}

INSTANTIATE_TEST_SUITE_P(LinkModel, Negotiation, ::testing::ValuesIn(kNegotiationCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LinkModel, ParallelDetectionShowsSpeedInTheControlWord) {
  emu::AdapterState state = AdapterWithPartner("forced 100fd");
  emu::RestartLink(state, 0);
  // Negotiation on, speed 100, duplex clear: what a reader of register 0 sees.
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyControl, 0), 0x3000u);
}

TEST(LinkModel, LinkComesUpAfterTheDelay) {
  emu::AdapterState state = AdapterWithPartner("autoneg 100fd", 2500);
  ASSERT_EQ(emu::ApplyLinkMode(state, 4, 1000), emu::kStatusOk);
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyStatus, 3499) & emu::kBmsLinkStatus, 0u);
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyStatus, 3499) & emu::kBmsAnComplete, 0u);
  EXPECT_NE(emu::ReadPhy(state, emu::kPhyStatus, 3500) & emu::kBmsLinkStatus, 0u);
}

TEST(LinkModel, LinkStatusLatchesLowUntilRead) {
  emu::AdapterState state = AdapterWithPartner("autoneg 1000fd");
  emu::RestartLink(state, 0);
  EXPECT_NE(emu::ReadPhy(state, emu::kPhyStatus, 0) & emu::kBmsLinkStatus, 0u);
  ASSERT_EQ(emu::ApplyLinkState(state, 0, 10), emu::kStatusOk);
  ASSERT_EQ(emu::ApplyLinkState(state, 1, 20), emu::kStatusOk);
  // Up again at once (no delay), but the drop shows in the first read.
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyStatus, 30) & emu::kBmsLinkStatus, 0u);
  EXPECT_NE(emu::ReadPhy(state, emu::kPhyStatus, 30) & emu::kBmsLinkStatus, 0u);
}

TEST(LinkModel, AdministrativelyDownLinkStaysDown) {
  emu::AdapterState state = AdapterWithPartner("autoneg 1000fd");
  emu::ApplyLinkState(state, 0, 0);
  EXPECT_FALSE(emu::ResolveLink(state, 100000).up);
  EXPECT_EQ(emu::ApplyLinkState(state, 2, 0), emu::kStatusInvalid);
}

TEST(LinkModel, AdvertisementTakesEffectAtTheNextRestart) {
  emu::AdapterState state = AdapterWithPartner("autoneg 1000fd,100fd");
  emu::RestartLink(state, 0);
  emu::WritePhy(state, emu::kPhyGigControl, 0, 0);
  EXPECT_EQ(emu::ResolveLink(state, 0).speed, 1000);
  emu::WritePhy(state, emu::kPhyControl, 0x1140 | emu::kBmcRestartAn, 0);
  EXPECT_EQ(emu::ResolveLink(state, 0).speed, 100);
  // The restart bit clears itself.
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyControl, 0), 0x1140u);
}

struct LinkModeCase {
  uint32_t code;
  emu::LinkModePolicy policy;
  const char* partner;
  bool up;
  int speed;
  bool full_duplex;
};

class LinkModeCodes : public ::testing::TestWithParam<LinkModeCase> {};

TEST_P(LinkModeCodes, SetLinkModeProgramsThePhy) {
  const LinkModeCase& c = GetParam();
  emu::AdapterState state = AdapterWithPartner(c.partner);
  state.link.policy = c.policy;
  ASSERT_EQ(emu::ApplyLinkMode(state, c.code, 0), emu::kStatusOk);
  const emu::LinkResolution link = emu::ResolveLink(state, 0);
  EXPECT_EQ(link.up, c.up);
  EXPECT_EQ(link.speed, c.speed);
  EXPECT_EQ(link.full_duplex, c.full_duplex);
}

constexpr auto kAdvertise = emu::LinkModePolicy::kAdvertise;
constexpr auto kForce = emu::LinkModePolicy::kForce;
constexpr char kEverything[] = "autoneg 1000fd,100fd,100hd,10fd,10hd";

INSTANTIATE_TEST_SUITE_P(
    LinkModel, LinkModeCodes,
    ::testing::Values(LinkModeCase{1, kAdvertise, kEverything, true, 10, false},
                      LinkModeCase{2, kAdvertise, kEverything, true, 10, true},
                      LinkModeCase{3, kAdvertise, kEverything, true, 100, false},
                      LinkModeCase{4, kAdvertise, kEverything, true, 100, true},
                      LinkModeCase{5, kAdvertise, kEverything, true, 1000, true},
                      LinkModeCase{5, kAdvertise, "autoneg 100fd", false, 0, false},
                      LinkModeCase{4, kForce, kEverything, true, 100, true},
                      LinkModeCase{4, kAdvertise, "forced 100fd", true, 100, false}));

TEST(LinkModel, ForcePolicyWritesTheControlWord) {
  emu::AdapterState state = AdapterWithPartner(kEverything);
  state.link.policy = emu::LinkModePolicy::kForce;
  emu::ApplyLinkMode(state, 3, 0);
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyControl, 0), 0x2000u);
  EXPECT_EQ(emu::ApplyLinkMode(state, 6, 0), emu::kStatusInvalid);
}

TEST(LinkModel, PartnerTextRoundTrips) {
  for (const char* text :
       {"none", "autoneg 1000fd,100fd,10hd,master", "forced 100hd", "forced 1000fd,slave"}) {
    emu::LinkPartner partner;
    ASSERT_TRUE(emu::ParsePartner(text, &partner)) << text;
    EXPECT_EQ(emu::FormatPartner(partner), text);
  }
  emu::LinkPartner partner;
  EXPECT_FALSE(emu::ParsePartner("forced 100fd,10fd", &partner));
  EXPECT_FALSE(emu::ParsePartner("autoneg 100full", &partner));
  EXPECT_FALSE(emu::ParsePartner("autoneg master", &partner));
}

TEST(PhyModel, CableTestAnswersPerPair) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  state.cable[1] = emu::CableResult{.set = true, .status = 2, .data = 100};
  state.cable[2] = emu::CableResult{.set = true, .stuck = true};
  emu::WritePhy(state, emu::kPhyCableTest, 0x9000, 0);
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyCableTest, 0), 0x1264u);
  emu::WritePhy(state, emu::kPhyCableTest, 0xA000, 0);
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyCableTest, 0), 0xA000u);
  // No partner: an open pair about ten metres out.
  emu::WritePhy(state, emu::kPhyCableTest, 0x8000, 0);
  EXPECT_EQ(emu::ReadPhy(state, emu::kPhyCableTest, 0), 0x0123u);
}

// Program memory follows the overlay table: mcu_model_test.cpp.
TEST(PhyModel, McuAutoIncrementWritesAndReadsXdata) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  emu::WritePhy(state, 0x40010, 0x84, 0);
  emu::WritePhy(state, 0x40011, 0x5000, 0);
  for (uint32_t byte : {0x12u, 0x34u, 0x56u}) emu::WritePhy(state, 0x40012, byte, 0);
  emu::WritePhy(state, 0x40011, 0x5000, 0);
  EXPECT_EQ(emu::ReadPhy(state, 0x40013, 0), 0x12u);
  EXPECT_EQ(emu::ReadPhy(state, 0x40013, 0), 0x34u);
  EXPECT_EQ(emu::PeekPhy(state, 0x40013, 0), 0x56u);
  EXPECT_EQ(emu::ReadPhy(state, 0x40013, 0), 0x56u);
  // Released: no access.
  emu::WritePhy(state, 0x40010, 0, 0);
  EXPECT_EQ(emu::ReadPhy(state, 0x40013, 0), 0u);
}

TEST(PhyModel, ReadOnlyRegistersIgnoreWrites) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  emu::WritePhy(state, emu::kPhyId1, 0x1234, 0);
  emu::WritePhy(state, emu::kPhyStatus, 0xFFFF, 0);
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyId1, 0), 0x0E1Du);
  EXPECT_EQ(emu::PeekPhy(state, emu::kPhyStatus, 0), 0x7949u);
}

}  // namespace
