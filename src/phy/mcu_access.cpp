// mcu_access.cpp - single and 16-bit writes into the PHY microcontroller, and the overlay tables.
#include "phy/mcu_access.h"

#include "driver/driver_operations.h"

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
