// otp_space.h - judging whether the OTP takes the next image: its signature, the end of the
// image it already holds, and whether the image in hand suits the half that is free.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "nvm/otp_job.h"
#include "platform/console.h"

// Reads the whole OTP and judges its signature against |job.signature|; sets |job.used_bytes|.
// Returns kOk, or another result after its message.
OtpResult CheckOtpSpace(Driver& driver, OtpJob& job);

// For an image built from the INI file: settles a signature of 0 to the free half's. Returns 0,
// or -1 when the INI file asks for the lower half of an OTP that already holds an image.
int ValidateOtpSettings(OtpJob& job, Console& console);

// For an image read from a file: its signature byte must be that of the free half. Returns 0,
// or -1 (blank OTP) or 12 (upper half free) after its message.
int ValidateOtpFileImage(const OtpJob& job, const uint8_t* image, Console& console);
