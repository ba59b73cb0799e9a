// image_buffer.h - the buffer that holds one EEPROM or OTP image, shared by the image builders,
// the memory programming and the run stages.
#pragma once

#include <cstdint>

constexpr int kImageBufferSize = 530;
// The most an image may hold: the size of the largest EEPROM.
constexpr int kMaxImageBytes = 512;

// One image and its length, as the stages hand it on.
struct ImageBuffer {
  uint8_t bytes[kImageBufferSize] = {};
  int32_t length = 0;
};
