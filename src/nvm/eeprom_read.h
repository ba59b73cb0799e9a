// eeprom_read.h - reading the whole EEPROM and saving it to a file (-r).
#pragma once

#include "driver/driver.h"
#include "nvm/eeprom_job.h"

enum class EepromSaveResult {
  kSaved,
  kFailed,
};

// Saves |job.eeprom_size| bytes of the EEPROM into |job.file_name|, or into the default name made
// of |file_base| (the chip name) and "-256.bin" or "-512.bin", which is written into |file_base|
// from its eighth character on. The file is replaced as a whole: afterwards it holds exactly the
// EEPROM's bytes, or, after a failure, what it held before. Prints its own messages.
EepromSaveResult ReadEeprom(Driver& driver, const EepromJob& job, char* file_base);
