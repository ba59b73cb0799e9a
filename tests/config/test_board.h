// test_board.h - a board as the configuration tests build it: its settings, its chip, the size of
// its EEPROM and the length the builder gave its image.
#pragma once

#include <cstdint>

#include "config/device_settings.h"

struct TestBoard {
  DeviceSettings Settings;
  uint32_t IdRegister = 0;
  int32_t EepromSize = 512;
  int32_t ImageLength = 0;
  uint32_t ChipId() const { return IdRegister >> 16; }
};
