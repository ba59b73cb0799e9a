// otp_read.h - reading the whole OTP and saving it to a file (-O -r).
#pragma once

#include <cstdint>

#include "driver/driver.h"

enum class OtpSaveResult {
  kSaved,
  kNamedFileFailed,  // the file named by the caller could not be created
  kFailed,           // the OTP not read, the default file not created, or nothing written
};

// Saves |size| OTP bytes into |file_name| when given, else into the default name made of
// |file_base| (the chip name) and "-otp.bin", written into |file_base| from its eighth character
// on. The file is replaced as a whole: afterwards it holds exactly the OTP's bytes, or, after a
// failure, what it held before. Prints its own messages.
OtpSaveResult ReadOtp(Driver& driver, int32_t size, const char* file_name, char* file_base);
