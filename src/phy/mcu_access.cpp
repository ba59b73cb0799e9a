// mcu_access.cpp - single and 16-bit writes into the PHY microcontroller, reading back what they
// set, and the overlay tables.
#include "phy/mcu_access.h"

#include "driver/driver_operations.h"

namespace {

struct AccessRegister {
  uint32_t index;
  const char* name;  // as the messages name it
  uint32_t mask;     // the bits the register holds
};

constexpr AccessRegister kReadableRegisters[] = {
    {.index = kMcuControlReg, .name = "SMI_KSTR_VPM_BT_CTL_REG", .mask = 0xFF},
    {.index = kMcuAddressReg, .name = "SMI_KSTR_VPM_BT_ADDR_REG", .mask = 0xFFFF},
    {.index = kMcuReadDataReg, .name = "KSTR_VPM_BT_WDAT_REG", .mask = 0xFF},
};

}  // namespace

// Slots 0 to 3 map the same pages in both tables; table B moves slots 4 to 19 onto the SRAM the
// firmware image was loaded into.
const uint16_t kOverlayTableA[kOverlayEntries] = {
    0x8800, 0x8881, 0x8902, 0x8983, 0x8A04, 0x8A85, 0x8B06, 0x8B87, 0x8C08, 0x8C89,
    0x8D0A, 0x8D8B, 0x8E0C, 0x8E8D, 0x8F0E, 0x8F8F, 0x9010, 0x9091, 0x9112, 0x9193,
};
const uint16_t kOverlayTableB[kOverlayEntries] = {
    0x8800, 0x8881, 0x8902, 0x8983, 0x0004, 0x0085, 0x0106, 0x0187, 0x0208, 0x0289,
    0x030A, 0x038B, 0x040C, 0x048D, 0x050E, 0x058F, 0x0610, 0x0691, 0x0712, 0x0793,
};

bool McuSingleWrite(Driver& driver, uint16_t address, uint32_t data, uint32_t control) {
  Console& console = driver.console();
  if (!WRITE_PHY(driver, kMcuAddressReg, address)) {
    console.Error("Failed writing SMI_KSTR_VPM_BT_ADDR_REG = 0x%04x\n", unsigned{address});
    return false;
  }
  if (!WRITE_PHY(driver, kMcuControlReg, control & 0xFF)) {
    console.Error("Failed writing SMI_KSTR_VPM_BT_CTL_REG to 0x%04x\n", control);
    return false;
  }
  if (!WRITE_PHY(driver, kMcuWriteDataReg, data)) {
    console.Error("Failed writing SMI_KSTR_VPM_BT_WDAT_REG with 0x%02x\n", data & 0xFF);
    return false;
  }
  return true;
}

bool McuWrite16(Driver& driver, uint16_t address, uint16_t value) {
  if (!McuSingleWrite(driver, address, value >> 8, kMcuXdataAutoinc)) return false;
  if (!WRITE_PHY(driver, kMcuWriteDataReg, value)) {
    driver.console().Error("Failed writing SMI_KSTR_VPM_BT_WDAT_REG with 0x%02x\n",
                           unsigned{value} & 0xFF);
    return false;
  }
  return true;
}

bool McuRegisterHolds(Driver& driver, uint32_t index, uint32_t expected) {
  AccessRegister reg{.index = index, .name = "", .mask = 0xFFFF};
  for (const AccessRegister& row : kReadableRegisters) {
    if (row.index == index) reg = row;
  }
  uint32_t value = 0;
  if (!READ_PHY(driver, index, &value)) return false;
  if ((value & reg.mask) == (expected & reg.mask)) return true;
  driver.console().Error("%s reads 0x%04x instead of 0x%04x\n", reg.name, value & reg.mask,
                         expected & reg.mask);
  return false;
}

bool McuSingleWriteHolds(Driver& driver, uint16_t address, uint32_t data, uint32_t control,
                         bool data_reads_back) {
  // Single access does not advance the address, so the data register still shows the byte.
  return McuRegisterHolds(driver, kMcuControlReg, control) &&
         McuRegisterHolds(driver, kMcuAddressReg, address) &&
         (!data_reads_back || McuRegisterHolds(driver, kMcuReadDataReg, data));
}

bool McuSetControl(Driver& driver, uint32_t control, const char* failure) {
  if (WRITE_PHY(driver, kMcuControlReg, control)) return true;
  driver.console().Error("%s", failure);
  return false;
}

bool McuSetAddress(Driver& driver, uint16_t address, const char* failure_format) {
  if (WRITE_PHY(driver, kMcuAddressReg, address)) return true;
  driver.console().Error(failure_format, unsigned{address});
  return false;
}
