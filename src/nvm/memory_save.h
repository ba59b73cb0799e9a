// memory_save.h - reading the whole EEPROM or OTP and saving it to a file (-r, -O -r).
#pragma once

#include <cstdint>

#include "driver/driver.h"

enum class MemorySaveResult {
  kSaved,
  kNamedFileFailed,  // the file named by the caller could not be created
  kFailed,           // the memory not read, the default file not created, or nothing written
};

// Saves the first |size| bytes of the EEPROM or, with |otp|, the OTP into |file_name| when given,
// else into the default name made of |file_base| (the chip name) and "-256.bin" or "-512.bin"
// (the EEPROM's size) or "-otp.bin", written into |file_base| from its eighth character on. The
// file is replaced as a whole: afterwards it holds exactly the memory's bytes, or, after a
// failure, what it held before. Prints its own messages.
MemorySaveResult SaveMemory(Driver& driver, bool otp, int32_t size, const char* file_name,
                            char* file_base);
