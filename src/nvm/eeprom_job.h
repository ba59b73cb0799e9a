// eeprom_job.h - what one EEPROM read or write works on, as the run that asked for it hands it
// down.
#pragma once

#include <cstdint>

#include "nvm/write_gate.h"

struct EepromJob {
  int32_t eeprom_size = 0;         // bytes the device holds: 256 or 512
  const uint8_t* image = nullptr;  // write: the image, kImageBufferSize bytes
  int32_t image_length = 0;        // write: the bytes of |image| that the read-back compares
  WriteGate* gate = nullptr;       // write: passed before the block goes out, when given
};
