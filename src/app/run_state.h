// run_state.h - what one run learns once its command line was read: the configuration file's
// settings, the chip it talks to and the size of its EEPROM. Each is settled by its own stage;
// the options record stays as the parser left it.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "config/device_settings.h"
#include "config/ini_state.h"

struct ChipIdentity {
  uint32_t id_register = 0;  // controller register 0, or the chip model's ID in its upper half
  char name[8] = {};         // "qnt5230" and the like; empty for offline generation
  uint32_t ChipId() const { return id_register >> 16; }
};

struct RunState {
  DeviceSettings settings;  // what the INI file sets, with the write-back positions
  IniState ini;
  ChipIdentity chip;
  int32_t eeprom_size = kDefaultEepromSize;
  uint32_t started_ms = 0;   // the clock's tick count when the run began
  bool ini_writable = true;  // false: the INI file to step may not be written
};
