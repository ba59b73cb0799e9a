// link_state_flow_test.cpp - the link-state decoder against the emulated PHY and link partner:
// consistent register sets as negotiation, parallel detection and forcing produce them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/phy_register_map.h"
#include "driver/driver.h"
#include "phy/link_state.h"
#include "support/emu_bench.h"

namespace {

constexpr char kEveryAbility[] = "autoneg 1000fd,100fd,100hd,10fd,10hd";

class LinkStateFlow : public ::testing::Test {
 protected:
  LinkStateFlow() { bench_.CreateAdapter(); }

  // Writes PHY registers as the driver would, then lets the link settle on the virtual clock.
  void Configure(const std::string& partner,
                 const std::vector<std::pair<uint32_t, uint16_t>>& phy) {
    for (const auto& [index, value] : phy) bench_.WritePhy(index, value);
    bench_.SetPartner(partner);
    Settle();
  }
  void Settle() { Live().clock.Sleep(10000); }

  // The platform with the control device open, so the adapters' clocks and state are live.
  Platform& Live() {
    Platform& platform = bench_.Services();
    if (!open_) {
      uint32_t error = 0;
      EXPECT_TRUE(platform.device.Open(kControlDevicePath, &error));
      open_ = true;
    }
    return platform;
  }

  int Decode() {
    Platform& platform = Live();
    Driver driver(platform.device, platform.console, RequestWords{});
    return LanPhyGetLinkState(driver);
  }

  EmuBench bench_;
  bool open_ = false;
};

struct PartnerCase {
  const char* name;
  const char* partner;
  std::vector<std::pair<uint32_t, uint16_t>> phy;  // written before the partner is attached
  int expected;
  const char* message;  // "" for none
};

// Control words of a forced PHY.
constexpr uint16_t kForced10Half = 0x0000;
constexpr uint16_t kForced100Full = 0x2100;
constexpr uint16_t kForced1000Full = 0x0140;
constexpr uint16_t kForced1000Half = 0x0040;

const PartnerCase kPartnerCases[] = {
    {"NoPartnerIsDown", "none", {}, kLinkDown, ""},
    {"BothAutomaticGigabitMakesThisPhyMaster", kEveryAbility, {}, kLink1000FullMaster, ""},
    {"PartnerManualMasterMakesThisPhySlave", "autoneg 1000fd,master", {}, kLink1000FullSlave, ""},
    {"PartnerManualSlaveMakesThisPhyMaster",
     "autoneg 1000fd,100fd,slave",
     {},
     kLink1000FullMaster,
     ""},
    {"HundredFullIsBestCommon", "autoneg 100fd,100hd,10fd,10hd", {}, kLink100Full, ""},
    {"HundredHalfIsBestCommon", "autoneg 100hd,10fd", {}, kLink100Half, ""},
    {"TenFullIsBestCommon", "autoneg 10fd,10hd", {}, kLink10Full, ""},
    {"TenHalfOnly", "autoneg 10hd", {}, kLink10Half, ""},
    {"GigabitNotAdvertisedHereFallsBackTo100",
     kEveryAbility,
     {{kPhy1000TCtrl, 0x0000}, {kPhyCtrl, 0x1340}},
     kLink100Full,
     ""},
    {"AdvertisingOnly10HereGives10",
     kEveryAbility,
     {{kPhy1000TCtrl, 0x0000}, {kPhyAutonegAdv, 0x0061}, {kPhyCtrl, 0x1340}},
     kLink10Full,
     ""},
    {"ForcedHundredPartnerIsFoundInParallelAtHalfDuplex", "forced 100fd", {}, kLink100Half, ""},
    {"ForcedTenPartnerIsFoundInParallelAtHalfDuplex", "forced 10fd", {}, kLink10Half, ""},
    {"ForcedHundredFullHere", "autoneg 100fd,10fd", {{kPhyCtrl, kForced100Full}}, kLink100Full, ""},
    {"ForcedTenHalfHere", "autoneg 10hd", {{kPhyCtrl, kForced10Half}}, kLink10Half, ""},
    {"ForcedGigabitManualMaster",
     "forced 1000fd,slave",
     {{kPhy1000TCtrl, 0x1A00}, {kPhyCtrl, kForced1000Full}},
     kLink1000FullMaster,
     ""},
    {"ForcedGigabitManualSlave",
     "forced 1000fd,master",
     {{kPhy1000TCtrl, 0x1200}, {kPhyCtrl, kForced1000Full}},
     kLink1000FullSlave,
     ""},
    {"ForcedGigabitHalfDuplexIsReported",
     "forced 1000fd,slave",
     {{kPhy1000TCtrl, 0x1800}, {kPhyCtrl, kForced1000Half}},
     kLinkDown,
     "ERROR: ERROR:  LanPhyGetLinkState() BCR=0x0040, says 1000HD???\n"},
    // Both ends manually master: the master/slave fault keeps the link down.
    {"ManualMasterAgainstManualMasterStaysDown",
     "autoneg 1000fd,master",
     {{kPhy1000TCtrl, 0x1A00}},
     kLinkDown,
     ""},
    {"ForcedGigabitWithoutManualRoleStaysDown",
     "forced 1000fd",
     {{kPhy1000TCtrl, 0x0200}, {kPhyCtrl, kForced1000Full}},
     kLinkDown,
     ""},
};

class LinkStatePartnerFlow : public LinkStateFlow,
                             public ::testing::WithParamInterface<PartnerCase> {};

TEST_P(LinkStatePartnerFlow, DecodesWhatTheLinkResolvedTo) {
  const PartnerCase& c = GetParam();
  Configure(c.partner, c.phy);
  bench_.ClearLog();
  EXPECT_EQ(Decode(), c.expected);
  EXPECT_EQ(bench_.Output(), c.message);
}

INSTANTIATE_TEST_SUITE_P(Partners, LinkStatePartnerFlow, ::testing::ValuesIn(kPartnerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkStateFlow, LinkStillComingUpIsDown) {
  bench_.SetLinkDelay(3000);
  bench_.SetPartner(kEveryAbility);
  Live().clock.Sleep(2000);
  EXPECT_EQ(Decode(), kLinkDown);
  Live().clock.Sleep(1000);
  EXPECT_EQ(Decode(), kLink1000FullMaster);
}

TEST_F(LinkStateFlow, LatchedDropIsReadPastByTheSecondStatusRead) {
  Configure("autoneg 100fd", {});
  EXPECT_EQ(Decode(), kLink100Full);
  // The link restarts and comes back; the drop stays latched until register 1 is read.
  bench_.SetPartner("autoneg 100fd,10fd");
  Settle();
  EXPECT_EQ(bench_.Phy(kPhyBmsReg) & kStatusLinkUp, 0u);
  EXPECT_EQ(Decode(), kLink100Full);
  EXPECT_EQ(bench_.Output(), "");
}

TEST_F(LinkStateFlow, ReadsOnlyTheStatusWhenDown) {
  Configure("none", {});
  bench_.ClearLog();
  EXPECT_EQ(Decode(), kLinkDown);
  std::vector<uint32_t> reads;
  for (const emu::LogEntry& entry : bench_.LogOf(kCmdReadPhy)) reads.push_back(entry.parameter);
  EXPECT_EQ(reads, (std::vector<uint32_t>{0, 1, 1}));
}

TEST_F(LinkStateFlow, FailedReadAtTheDriverIsReportedTwice) {
  Configure(kEveryAbility, {});
  bench_.FailStatus(kCmdReadPhy, 1, /*skip=*/1);
  EXPECT_EQ(Decode(), kLinkDown);
  EXPECT_EQ(bench_.Output(),
            "ERROR: READ_PHY failed !    status:Access failed\n"
            "ERROR: ERROR:  LanPhyGetLinkState() failed 1st reading PHY_BMS_REG.\n");
}

}  // namespace
