// image_decode_fuzz.cpp - libFuzzer target: any bytes as an image file for the decoder, the
// inspector's checks, and the INI text written back from what they found.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/image/image_ini.h"
#include "tools/image/image_inspect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const InspectedImage inspected = InspectImageFile(data, size);
  std::vector<std::string> obstacles;
  ImageIniText(inspected, &obstacles);
  return 0;
}
