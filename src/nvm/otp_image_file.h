// otp_image_file.h - reading an OTP image from a file of either form, refusing any other file.
#pragma once

#include <cstdint>

#include "platform/console.h"

// Reads the image in |file_name| into the zeroed |image| (kImageBufferSize bytes) and sets
// |*length| to its byte count, signature included. Returns true, or false after its message when
// the file is missing, empty or of neither form.
bool ReadOtpImageFile(const char* file_name, uint8_t* image, int32_t* length, Console& console);
