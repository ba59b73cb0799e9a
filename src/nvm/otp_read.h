// otp_read.h - reading the whole OTP and saving it to a file (-O -r).
#pragma once

#include <cstdint>

#include "driver/driver.h"

enum class OtpSaveResult {
  kSaved,
  kShortWrite,       // the file took only part of the OTP; the run may go on
  kNamedFileFailed,  // the file named by the caller could not be created
  kFailed,           // the OTP not read, the default file not created, or nothing written
};

// Saves |size| OTP bytes into |file_name| when given, else into the default name made of
// |file_base| (the chip name) and "-otp.bin", written into |file_base| from its eighth character
// on. The file then holds exactly the OTP's bytes. Prints its own messages.
OtpSaveResult ReadOtp(Driver& driver, int32_t size, const char* file_name, char* file_base);
