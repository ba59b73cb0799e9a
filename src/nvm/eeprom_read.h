// eeprom_read.h - reading the whole EEPROM and saving it to a file (-r).
#pragma once

#include "app/command_options.h"
#include "common/step_result.h"
#include "driver/driver.h"

// Saves |options.EepromSize| bytes of the EEPROM into |options.BinaryFileName|, or into the
// default name made of |file_base| (the chip name) and "-256.bin" or "-512.bin", which is
// written into |file_base| from its eighth character on. A short write lets the run go on with
// exit code 5; every other failure stops it with 5.
StepResult ReadEeprom(Driver& driver, CommandOptions& options, char* file_base);
