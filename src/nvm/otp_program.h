// otp_program.h - programming and verifying the one-time-programmable memory, and switching it
// off. The OTP takes at most two images: the lower half first, then once the upper half.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "nvm/otp_job.h"

// Writes the |length|-byte |image| to the half its signature names, after the operator confirms
// (unless |job.confirmed|), reads it back and prints the success line. The signature byte goes
// first, so a failed body write leaves the new signature behind; |job.gate| passes right before
// the body, which carries the identity. Returns kOk or kFailed.
OtpResult WriteOtpImage(Driver& driver, const OtpJob& job, const uint8_t* image, int32_t length);

// Writes 0xFF over the signature once the operator answers an upper-case Y; -C does not answer
// this prompt. Returns kOk or kFailed.
OtpResult SwitchOtpOff(Driver& driver);

// Results of VerifyOTP besides 0.
constexpr int kOtpVerifyDiffers = 1;
constexpr int kOtpVerifyReadFailed = 11;

// Compares the OTP with the |length|-byte |image| where the image's signature places it.
// Returns 0, kOtpVerifyDiffers (also for an over-long image) or kOtpVerifyReadFailed after a
// message.
int VerifyOTP(Driver& driver, const uint8_t* image, int32_t length);
