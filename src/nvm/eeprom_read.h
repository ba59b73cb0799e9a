// eeprom_read.h - reading the whole EEPROM and saving it to a file (-r).
#pragma once

#include "driver/driver.h"
#include "nvm/eeprom_job.h"

enum class EepromSaveResult {
  kSaved,
  kShortWrite,  // the file took fewer bytes than the EEPROM holds; the run may go on
  kFailed,
};

// Saves |job.eeprom_size| bytes of the EEPROM into |job.file_name|, or into the default name made
// of |file_base| (the chip name) and "-256.bin" or "-512.bin", which is written into |file_base|
// from its eighth character on. Prints its own messages.
EepromSaveResult ReadEeprom(Driver& driver, const EepromJob& job, char* file_base);
