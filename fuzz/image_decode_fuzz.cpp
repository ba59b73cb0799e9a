// image_decode_fuzz.cpp - libFuzzer target: any bytes as an image file for the decoder and for
// the INI text written back from what it decoded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/image/image_decode.h"
#include "config/image/image_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DecodedImage decoded = DecodeImageFile(data, size);
  std::vector<std::string> obstacles;
  ImageIniText(decoded, &obstacles);
  return 0;
}
