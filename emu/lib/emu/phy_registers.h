// phy_registers.h - the clause-22 PHY registers the emulator models and their bits.
#pragma once

#include <cstdint>

namespace emu {

constexpr uint32_t kPhyControl = 0;
constexpr uint32_t kPhyStatus = 1;
constexpr uint32_t kPhyId1 = 2;
constexpr uint32_t kPhyId2 = 3;
constexpr uint32_t kPhyAdvertise = 4;
constexpr uint32_t kPhyPartnerAbility = 5;
constexpr uint32_t kPhyExpansion = 6;
constexpr uint32_t kPhyGigControl = 9;
constexpr uint32_t kPhyGigStatus = 10;
constexpr uint32_t kPhyExtendedStatus = 15;
constexpr uint32_t kPhyCableTest = 18;
constexpr uint32_t kPhyClause22Count = 32;

// Control (register 0).
constexpr uint16_t kBmcReset = 0x8000;
constexpr uint16_t kBmcLoopback = 0x4000;
constexpr uint16_t kBmcSpeedLow = 0x2000;
constexpr uint16_t kBmcAnEnable = 0x1000;
constexpr uint16_t kBmcPowerDown = 0x0800;
constexpr uint16_t kBmcRestartAn = 0x0200;
constexpr uint16_t kBmcFullDuplex = 0x0100;
constexpr uint16_t kBmcSpeedHigh = 0x0040;
constexpr uint16_t kBmcSpeedMask = kBmcSpeedLow | kBmcSpeedHigh;
// Bits whose change takes the link down and starts it again.
constexpr uint16_t kBmcLinkBits =
    kBmcLoopback | kBmcSpeedMask | kBmcAnEnable | kBmcPowerDown | kBmcFullDuplex;

// Status (register 1): the PHY's abilities, then the live bits.
constexpr uint16_t kBmsAbilities = 0x7949;
constexpr uint16_t kBmsAnComplete = 0x0020;
constexpr uint16_t kBmsLinkStatus = 0x0004;

// Advertisement and partner ability (registers 4 and 5).
constexpr uint16_t kAdvSelector = 0x0001;
constexpr uint16_t kAdv10Hd = 0x0020;
constexpr uint16_t kAdv10Fd = 0x0040;
constexpr uint16_t kAdv100Hd = 0x0080;
constexpr uint16_t kAdv100Fd = 0x0100;
constexpr uint16_t kAdvAll10100 = kAdv10Hd | kAdv10Fd | kAdv100Hd | kAdv100Fd;
constexpr uint16_t kLpaAcknowledge = 0x4000;

// 1000BASE-T control and status (registers 9 and 10).
constexpr uint16_t kGigAdv1000Fd = 0x0200;
constexpr uint16_t kGigAdv1000Hd = 0x0100;
constexpr uint16_t kGigManualMs = 0x1000;
constexpr uint16_t kGigManualMaster = 0x0800;
constexpr uint16_t kGigStatusMsFault = 0x8000;
constexpr uint16_t kGigStatusMaster = 0x4000;
constexpr uint16_t kGigStatusReceiversOk = 0x3000;
constexpr uint16_t kGigStatusPartner1000Fd = 0x0800;

// Reset values.
constexpr uint16_t kResetControl = kBmcAnEnable | kBmcFullDuplex | kBmcSpeedHigh;  // 0x1140
constexpr uint16_t kResetAdvertise = kAdvSelector | kAdvAll10100;                  // 0x01E1
constexpr uint16_t kResetGigControl = kGigAdv1000Fd;
constexpr uint16_t kPhyIdHigh = 0x0E1D;
constexpr uint16_t kPhyIdLow = 0x5C11;
constexpr uint16_t kExtendedStatus1000TFd = 0x2000;

}  // namespace emu
