// link_state.cpp - decoding the link state from the PHY's control, status, ability and gigabit
// registers, for negotiated and forced links.
#include "phy/link_state.h"

#include "common/phy_register_map.h"
#include "driver/driver_operations.h"

namespace {

// Every message below begins with its own "ERROR:  " and is printed after the console's
// "ERROR: " marker, so a line shows both.
void Report(Driver& driver, const char* message) { driver.console().Error("%s", message); }

// Reads one register; on failure prints |failure| and returns false.
bool ReadOrReport(Driver& driver, uint32_t index, uint16_t* value, const char* failure) {
  if (LanPhyReadWord(driver, index, value)) return true;
  Report(driver, failure);
  return false;
}

int DecodeNegotiated(Driver& driver, uint16_t partner) {
  uint16_t advertised = 0;
  uint16_t gigabit_ctrl = 0;
  uint16_t gigabit_status = 0;
  if (!ReadOrReport(driver, kPhyAutonegAdv, &advertised,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_AUTONEG_ADV.\n") ||
      !ReadOrReport(driver, kPhy1000TCtrl, &gigabit_ctrl,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_CTRL.\n") ||
      !ReadOrReport(driver, kPhy1000TStatus, &gigabit_status,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_STATUS.\n")) {
    return kLinkDown;
  }

  // Gigabit wins over every 10/100 ability when both ends offer it.
  if ((gigabit_ctrl & k1000TCtrlAdvertiseFull) != 0 &&
      (gigabit_status & k1000TStatusPartnerFull) != 0) {
    if ((gigabit_status & k1000TStatusMasterSlaveFault) != 0) {
      driver.console().Error(
          "ERROR:  LanPhyGetLinkState() bad MS_CONFIG_FAULT, PHY_1000T_STATUS=0x%04X\n",
          static_cast<unsigned>(gigabit_status));
      return kLinkDown;
    }
    return (gigabit_status & k1000TStatusMaster) != 0 ? kLink1000FullMaster : kLink1000FullSlave;
  }

  struct Resolution {
    uint16_t ability;
    int state;
  };
  static constexpr Resolution kPriority[] = {
      {.ability = kAbility100Full, .state = kLink100Full},
      {.ability = kAbility100Half, .state = kLink100Half},
      {.ability = kAbility10Full, .state = kLink10Full},
      {.ability = kAbility10Half, .state = kLink10Half},
  };
  const uint16_t common = advertised & partner;
  for (const Resolution& entry : kPriority) {
    if ((common & entry.ability) != 0) return entry.state;
  }
  driver.console().Error(
      "ERROR:  LanPhyGetLinkState() bad 10/100 reg's, wAdv=0x%04X, wLpAbility=0x%04X.\n",
      static_cast<unsigned>(advertised), static_cast<unsigned>(partner));
  return kLinkDown;
}

int DecodeForced(Driver& driver, uint16_t control) {
  const bool full = (control & kCtrlFullDuplex) != 0;
  // Speed select: the high bit and the low bit form 0 = 10, 1 = 100, 2 = 1000, 3 = reserved.
  const int speed =
      ((control & kCtrlSpeedHigh) != 0 ? 2 : 0) | ((control & kCtrlSpeedLow) != 0 ? 1 : 0);
  switch (speed) {
    case 0:
      return full ? kLink10Full : kLink10Half;
    case 1:
      return full ? kLink100Full : kLink100Half;
    case 2: {
      if (!full) {
        driver.console().Error("ERROR:  LanPhyGetLinkState() BCR=0x%04X, says 1000HD???\n",
                               static_cast<unsigned>(control));
        return kLinkDown;
      }
      uint16_t gigabit_ctrl = 0;
      if (!ReadOrReport(driver, kPhy1000TCtrl, &gigabit_ctrl,
                        "ERROR:  LanPhyGetLinkState() failed reading PHY_1000T_CTRL for "
                        "non-ANEG\n")) {
        return kLinkDown;
      }
      // A forced gigabit link needs a manually configured master/slave role.
      if ((gigabit_ctrl & k1000TCtrlManualMasterSlave) == 0) {
        driver.console().Error(
            "ERROR:  LanPhyGetLinkState() non-ANEG GbE bad PHY_1000T_CTRL=0x%04X\n",
            static_cast<unsigned>(gigabit_ctrl));
        return kLinkDown;
      }
      return (gigabit_ctrl & k1000TCtrlManualMaster) != 0 ? kLink1000FullMaster
                                                          : kLink1000FullSlave;
    }
    default:
      driver.console().Error("ERROR:  LanPhyGetLinkState() invalid speed bits in BCR=0x%04X.\n",
                             static_cast<unsigned>(control));
      return kLinkDown;
  }
}

}  // namespace

bool LanPhyReadWord(Driver& driver, uint32_t index, uint16_t* value) {
  uint32_t word = 0;
  const bool read = READ_PHY(driver, index, &word);
  *value = static_cast<uint16_t>(word);
  return read;
}

int LanPhyGetLinkState(Driver& driver) {
  uint16_t first_control = 0;
  uint16_t status = 0;
  if (!ReadOrReport(driver, kPhyCtrl, &first_control,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_CTRL.\n")) {
    return kLinkDown;
  }
  // The link-status bit latches low: the first read clears a stale drop, the second one is the
  // present state.
  if (!ReadOrReport(driver, kPhyBmsReg, &status,
                    "ERROR:  LanPhyGetLinkState() failed 1st reading PHY_BMS_REG.\n") ||
      !ReadOrReport(driver, kPhyBmsReg, &status,
                    "ERROR:  LanPhyGetLinkState() failed 2nd reading PHY_BMS_REG.\n")) {
    return kLinkDown;
  }
  if ((status & kStatusLinkUp) == 0) return kLinkDown;
  if ((first_control & kCtrlAutonegEnable) != 0 && (status & kStatusAutonegComplete) == 0) {
    return kLinkNegotiating;
  }

  uint16_t partner = 0;
  uint16_t control = 0;
  if (!ReadOrReport(driver, kPhyAnlpaReg, &partner,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_ANLPA_REG\n") ||
      !ReadOrReport(driver, kPhyCtrl, &control,
                    "ERROR:  LanPhyGetLinkState() failed reading PHY_BMC_REG.\n")) {
    return kLinkDown;
  }

  // A partner that advertised nothing was found by parallel detection: the control word then
  // says what the link runs at.
  const bool forced = (control & kCtrlAutonegEnable) == 0 ||
                      ((status & kStatusAutonegComplete) != 0 && (partner & kAbilityAll) == 0);
  return forced ? DecodeForced(driver, control) : DecodeNegotiated(driver, partner);
}
