// image_buffer.h - the buffer that holds one EEPROM or OTP image, shared by the image builders,
// the memory programming and the run stages.
#pragma once

constexpr int kImageBufferSize = 530;
// The most an image may hold: the size of the largest EEPROM.
constexpr int kMaxImageBytes = 512;
