// otp_space.h - judging whether the OTP takes the next image: its signature, the end of the
// image it already holds, and whether the image in hand suits the half that is free.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "nvm/otp_job.h"
#include "platform/console.h"

// Reads |size| bytes of the OTP from offset 0 into |otp|; false after "Failed to read OTP".
bool ReadOtpContents(Driver& driver, int32_t size, uint8_t* otp);

// Judges the signature of the OTP's contents |otp| against |job.signature|; sets
// |job.used_bytes|. Returns kOk, or another result after its message.
OtpResult JudgeOtpSpace(const uint8_t* otp, OtpJob& job, Console& console);

// ReadOtpContents, then JudgeOtpSpace.
OtpResult CheckOtpSpace(Driver& driver, OtpJob& job);

// True when the OTP's contents |otp| (|size| bytes) are what a write of |image| cut off at some
// point leaves: its signature, the body's bytes up to that point, and nothing written from there
// to the image's end. Writing the image again there completes it (a write only sets bits), so a
// write that died half way, or one whose outcome was never told, is finished instead of refused;
// the whole image again is a harmless rewrite. An OTP finished with another image never is.
bool OtpHoldsBeginningOf(const uint8_t* otp, int32_t size, const uint8_t* image, int32_t length);

// For an image built from the INI file: settles a signature of 0 to the free half's. Returns 0,
// or -1 when the INI file asks for the lower half of an OTP that already holds an image.
int ValidateOtpSettings(OtpJob& job, Console& console);

// For an image read from a file: its signature byte must be that of the free half. Returns 0,
// or -1 (blank OTP) or 12 (upper half free) after its message.
int ValidateOtpFileImage(const OtpJob& job, const uint8_t* image, Console& console);
