// otp_job.h - what one OTP read or write works with, taken from the options and the settings by
// the run stage, and the results its routines hand back.
#pragma once

#include <cstdint>

#include "format/otp_form.h"
#include "nvm/write_gate.h"

enum class OtpResult {
  kOk,
  kReadFailed,  // the OTP could not be read
  kFailed,      // refused, declined, or programming or verification failed
  kFull,        // the OTP holds two images
  kNoRoom,      // the lower image ends beyond 256 bytes: no room for a second one
};

struct OtpJob {
  // OtpSignature of the settings: 0 (the tool chooses), one of the two image signatures or
  // kOtpSwitchOff. The INI check may settle it.
  uint32_t signature = 0;
  bool confirmed = false;   // -C YES: no prompt before a normal write
  int32_t size = kOtpSize;  // bytes read for the fit check (EepromSize)
  // Set by CheckOtpSpace: 0 when the next image goes to the lower half (or the OTP is being
  // switched off), 256 when it goes to the upper half.
  int32_t used_bytes = 0;
  WriteGate* gate = nullptr;  // passed before the body goes out, when given
  // What the write will burn, shown right before the operator is asked; null for nothing.
  const char* announcement = nullptr;
};
