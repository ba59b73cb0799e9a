// mcu_access.h - host access to the PHY microcontroller's memories through the PHY's
// vendor-private access registers: the registers, the control values, the MCU locations the
// firmware download sets, and the two SRAM overlay tables.
#pragma once

#include <cstdint>

#include "driver/driver.h"

// PHY register indexes of the access registers, passed to the driver as they are.
constexpr uint32_t kMcuControlReg = 0x40010;    // SMI_KSTR_VPM_BT_CTL_REG
constexpr uint32_t kMcuAddressReg = 0x40011;    // SMI_KSTR_VPM_BT_ADDR_REG
constexpr uint32_t kMcuWriteDataReg = 0x40012;  // SMI_KSTR_VPM_BT_WDAT_REG
constexpr uint32_t kMcuReadDataReg = 0x40013;   // one byte in the low 8 bits of a read

// Control values: access enable with the memory space and auto-increment; 0 releases the MCU.
constexpr uint32_t kMcuXdataSingle = 0x80;
constexpr uint32_t kMcuSfrSingle = 0x81;
constexpr uint32_t kMcuXdataAutoinc = 0x84;
constexpr uint32_t kMcuProgAutoinc = 0x86;
constexpr uint32_t kMcuRelease = 0x00;

// MCU locations.
constexpr uint16_t kMcuXdataDevCtrl = 0xFFFF;  // MCU_XDATA_DEV_CTRL; 1 resets the MCU
constexpr uint16_t kMcuXdataDevCfg = 0x0802;
constexpr uint16_t kMcuSfrRomMap1 = 0xF9;
constexpr uint16_t kMcuSfrRomMap2 = 0xFA;
constexpr uint16_t kMcuOverlayTableBase = 0x0840;  // entry j at base + 2 * j, high byte first
constexpr uint16_t kMcuParametersBase = 0x4C00;
constexpr uint16_t kMcuImageBase = 0x5000;

constexpr int kOverlayEntries = 20;
// Table A goes in before a download, table B after it.
extern const uint16_t kOverlayTableA[kOverlayEntries];
extern const uint16_t kOverlayTableB[kOverlayEntries];

// Writes |data| to MCU |address| with access control |control|: the address, the control value,
// then the data. Prints the failing register's message and returns false at the first failure.
bool McuSingleWrite(Driver& driver, uint16_t address, uint32_t data, uint32_t control);
// Reads back what a single write set: the control value, the address and, when |data_reads_back|,
// the byte now at that address. A write can answer success and do nothing; this is how the
// download knows that one did. Returns false after printing what differs.
bool McuSingleWriteHolds(Driver& driver, uint16_t address, uint32_t data, uint32_t control,
                         bool data_reads_back);
// Reads access register |index| (control, address or read data) and compares the bits it holds
// with |expected|. A difference is printed with the register's name; a failed read has printed
// its driver line.
bool McuRegisterHolds(Driver& driver, uint32_t index, uint32_t expected);
// Write the control or the address register; a failure prints |failure|, which for the address
// takes the address.
bool McuSetControl(Driver& driver, uint32_t control, const char* failure);
bool McuSetAddress(Driver& driver, uint16_t address, const char* failure_format);
// Writes |value| high byte first to XDATA |address| and the next address, the second byte
// through auto-increment. Returns false after printing the failure.
bool McuWrite16(Driver& driver, uint16_t address, uint16_t value);
