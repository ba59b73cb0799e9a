// eeprom_size_probe.cpp - telling a 256-byte EEPROM from a 512-byte one. On the smaller part
// offset 256 wraps around to offset 0, so a write there shows up at 0.
#include "driver/driver_operations.h"

bool EepromSizeProbe(Driver& driver, int32_t* size) {
  constexpr uint16_t kProbeOffset = 256;
  uint8_t first = 0;
  if (!E2P_READ_BYTE(driver, 0, &first)) return false;
  if (!E2P_WRITE_BYTE(driver, 0, 0xFF)) return false;
  if (!E2P_WRITE_BYTE(driver, 0, first)) return false;

  uint8_t saved = 0;
  if (!E2P_READ_BYTE(driver, kProbeOffset, &saved)) return false;
  if (!E2P_WRITE_BYTE(driver, kProbeOffset, static_cast<uint8_t>(~first))) return false;
  uint8_t again = 0;
  if (!E2P_READ_BYTE(driver, 0, &again)) return false;

  if (again != first) {
    if (!E2P_WRITE_BYTE(driver, 0, first)) return false;
    *size = 256;
    return true;
  }
  if (!E2P_WRITE_BYTE(driver, kProbeOffset, saved)) return false;
  *size = 512;
  return true;
}
