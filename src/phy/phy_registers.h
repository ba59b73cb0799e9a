// phy_registers.h - the Ethernet PHY's standard (clause 22) registers and the bits the utility
// looks at.
#pragma once

#include <cstdint>

// Register indices.
constexpr uint32_t kPhyCtrl = 0;          // PHY_CTRL, also called PHY_BMC_REG (BCR)
constexpr uint32_t kPhyBmsReg = 1;        // PHY_BMS_REG
constexpr uint32_t kPhyAutonegAdv = 4;    // PHY_AUTONEG_ADV
constexpr uint32_t kPhyAnlpaReg = 5;      // PHY_ANLPA_REG, link partner ability
constexpr uint32_t kPhy1000TCtrl = 9;     // PHY_1000T_CTRL
constexpr uint32_t kPhy1000TStatus = 10;  // PHY_1000T_STATUS

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

// PHY_1000T_CTRL.
constexpr uint16_t k1000TCtrlAdvertiseFull = 0x0200;
constexpr uint16_t k1000TCtrlManualMasterSlave = 0x1000;
constexpr uint16_t k1000TCtrlManualMaster = 0x0800;

// PHY_1000T_STATUS.
constexpr uint16_t k1000TStatusMasterSlaveFault = 0x8000;
constexpr uint16_t k1000TStatusMaster = 0x4000;
constexpr uint16_t k1000TStatusPartnerFull = 0x0800;
