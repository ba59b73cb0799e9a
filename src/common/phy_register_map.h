// phy_register_map.h - the Ethernet PHY's registers, the bits the utility looks at, and the link
// codes. Kept below every layer that talks to the PHY, so that the link stages and the network
// tests read one map rather than copies that could drift apart.
#pragma once

#include <cstdint>

// Register indices: the standard (clause 22) ones first, then this PHY's own.
constexpr uint32_t kPhyCtrl = 0;          // PHY_CTRL, also called PHY_BMC_REG (BCR)
constexpr uint32_t kPhyBmsReg = 1;        // PHY_BMS_REG
constexpr uint32_t kPhyAutonegAdv = 4;    // PHY_AUTONEG_ADV
constexpr uint32_t kPhyAnlpaReg = 5;      // PHY_ANLPA_REG, link partner ability
constexpr uint32_t kPhy1000TCtrl = 9;     // PHY_1000T_CTRL
constexpr uint32_t kPhy1000TStatus = 10;  // PHY_1000T_STATUS
constexpr uint32_t kPhyLinked100Full = 16;
constexpr uint32_t kPhyLinked1000Full = 17;
constexpr uint32_t kPhyCableDiagReg = 18;  // also holds the gigabit loopback's setup bit
constexpr uint32_t kPhyGigabitLoop = 24;

// PHY_CTRL.
constexpr uint16_t kCtrlAutonegEnable = 0x1000;
constexpr uint16_t kCtrlSpeedLow = 0x2000;
constexpr uint16_t kCtrlSpeedHigh = 0x0040;
constexpr uint16_t kCtrlFullDuplex = 0x0100;

// PHY_BMS_REG.
constexpr uint16_t kStatusLinkUp = 0x0004;
constexpr uint16_t kStatusAutonegComplete = 0x0020;

// PHY_AUTONEG_ADV and PHY_ANLPA_REG ability bits.
constexpr uint16_t kAbility100Full = 0x0100;
constexpr uint16_t kAbility100Half = 0x0080;
constexpr uint16_t kAbility10Full = 0x0040;
constexpr uint16_t kAbility10Half = 0x0020;
constexpr uint16_t kAbilityAll = 0xFFE0;

// PHY_1000T_CTRL. With manual master/slave set and the master bit clear, this PHY is the slave.
constexpr uint16_t k1000TCtrlAdvertiseFull = 0x0200;
constexpr uint16_t k1000TCtrlManualMasterSlave = 0x1000;
constexpr uint16_t k1000TCtrlManualMaster = 0x0800;

// PHY_1000T_STATUS.
constexpr uint16_t k1000TStatusMasterSlaveFault = 0x8000;
constexpr uint16_t k1000TStatusMaster = 0x4000;
constexpr uint16_t k1000TStatusPartnerFull = 0x0800;

// The two linked registers: the link came up in that register's mode.
constexpr uint16_t kLinkedBit = 0x1000;

// The gigabit loopback needs this bit of the cable diagnostic register and this loop setting.
constexpr uint16_t kCableDiagGigabitLoopSetup = 0x0020;
constexpr uint16_t kGigabitLoopValue = 0x0401;

// Link-state codes. A code above 0 means the link is up; the -l link-mode codes 1 to 5 (sent to
// SET_LINK_MODE) use the same numbers.
constexpr int kLinkDown = -1;  // down, a failed read, or registers that cannot be decoded
constexpr int kLinkNegotiating = 0;
constexpr int kLink10Half = 1;
constexpr int kLink10Full = 2;
constexpr int kLink100Half = 3;
constexpr int kLink100Full = 4;
constexpr int kLink1000FullMaster = 5;
constexpr int kLink1000FullSlave = 6;
