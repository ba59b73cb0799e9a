// otp_image_file.h - the two forms of OTP image file: an 0xF3 file holds the image as it is, an
// 0xF7 file holds the signature at offset 0 and image byte 1 onwards from offset 0x101.
#pragma once

#include <cstdint>

#include "platform/console.h"

// Reads the image in |file_name| into the zeroed |image| (kImageBufferSize bytes) and sets
// |*length| to its byte count, signature included. Returns true, or false after its message when
// the file is missing, empty or of neither form.
bool ReadOtpImageFile(const char* file_name, uint8_t* image, int32_t* length, Console& console);

// The file form of the |length|-byte |image| in |file| (kOtpSize bytes); returns the file's size.
int32_t OtpImageFileBytes(const uint8_t* image, int32_t length, uint8_t* file);
