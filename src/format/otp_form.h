// otp_form.h - the OTP's image forms: the signature byte that says which half an image is for,
// where an upper-half image lies, the bias of its stored word offsets, the two forms of OTP image
// file, and where the image stored in the lower half ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/image_buffer.h"

// Byte 0 of the OTP and of an OTP image. A blank OTP reads 0; an OTP switched off reads 0xFF.
constexpr uint8_t kOtpBlank = 0x00;
constexpr uint8_t kOtpSignatureLower = 0xF3;
constexpr uint8_t kOtpSignatureUpper = 0xF7;
constexpr uint8_t kOtpSignatureOff = 0xFF;
// The OtpSignature setting that asks for the OTP to be switched off rather than written.
constexpr uint32_t kOtpSwitchOff = 0xDEAD;

constexpr int32_t kOtpSize = 512;
constexpr int32_t kOtpHalf = 256;
// Where image byte 1 goes: right after the signature, or in the upper half. An upper-half image
// keeps its byte 0 at OTP offset 0 and its byte i at 0x100 + i, in the OTP and in its file.
constexpr int32_t kOtpLowerBodyOffset = 1;
constexpr int32_t kOtpUpperBodyOffset = 0x101;
// Where byte 0 of an upper-half image would lie for its other bytes to lie where they do.
constexpr int32_t kOtpUpperImageBase = kOtpUpperBodyOffset - 1;
// Added to every stored word offset of an upper-half image, so that it gives the OTP word.
constexpr uint8_t kUpperHalfBias = 0x80;

// The most bytes of an image file that can reach the image buffer, in either file form.
constexpr size_t kMaxImageFileBytes = kOtpUpperBodyOffset + kImageBufferSize;

// The OTP offset of image byte 1 for an image whose byte 0 is |signature|.
constexpr int32_t OtpBodyOffset(uint8_t signature) {
  return signature == kOtpSignatureUpper ? kOtpUpperBodyOffset : kOtpLowerBodyOffset;
}

// The bias that the offset tables of |image| carry, judged from its first byte.
constexpr uint8_t StoredOffsetBias(const uint8_t* image) {
  return image[0] == kOtpSignatureUpper ? kUpperHalfBias : 0;
}

// The image that the |size| bytes of an image file hold, into |image| (|capacity| bytes, at least
// 1). A file whose first byte is 0xF7 holds image bytes 1 onwards from offset 0x101 (the bytes
// before are ignored); any other file holds the image as it is. Returns the image's length.
size_t ImageOfFile(const uint8_t* file, size_t size, uint8_t* image, size_t capacity);

// The size of the file that holds a |length|-byte image whose first byte is |signature|.
int32_t OtpFileSize(uint8_t signature, int32_t length);

// Lays out the file of the |length|-byte |image| in |file| (kOtpSize bytes, gap zeroed), for an
// image whose file size is at most kOtpSize; returns that size.
int32_t OtpFileOfImage(const uint8_t* image, int32_t length, uint8_t* file);

// The end, in bytes, of the lower-half image in |otp| as its offset tables give it: the table
// pair with the greatest word offset (the first of equals), times two, plus its length.
int32_t StoredImageEnd(const uint8_t* otp);
