// image_patch_fuzz.cpp - libFuzzer target: the -b path, where a binary file read into the image
// buffer gets the board's MAC address and serial number patched in, walking the string and
// optional-block tables the file holds.
//
// Input: byte 0 chooses the case (bit 0: a MAC address, bit 1: a serial number, bit 2: a
// 256-byte EEPROM), byte 1 the serial number's length (0 to 63), then its characters, then the
// file. A patch must stay within the EEPROM size and keep its reported length within it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "common/image_buffer.h"
#include "config/stepping/identity_patch.h"
#include "fuzz_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const size_t serial_length = std::min<size_t>(data[1] % 64, size - 2);
  data += 2;
  size -= 2;
  std::optional<std::string> serial;
  if ((flags & 2) != 0) serial = std::string(reinterpret_cast<const char*>(data), serial_length);
  data += serial_length;
  size -= serial_length;

  const int32_t eeprom_size = (flags & 4) != 0 ? 256 : 512;
  // As the program reads the file: a zeroed buffer, at most its size read, longer files refused.
  uint8_t image[kImageBufferSize] = {};
  const size_t length = std::min(size, sizeof image);
  std::memcpy(image, data, length);
  int32_t image_length = static_cast<int32_t>(length);
  if (image_length > eeprom_size) return 0;

  MacAddress mac = {};
  for (size_t i = 0; i < mac.size() && i < length; ++i) mac[i] = image[i] ^ 0x5A;
  DiscardConsole console;
  const int result = PatchImageIdentity(image, &image_length, (flags & 1) != 0 ? &mac : nullptr,
                                        serial, eeprom_size, console);
  if (result == 0 && (image_length < 0 || image_length > eeprom_size)) __builtin_trap();
  for (size_t i = static_cast<size_t>(eeprom_size); i < sizeof image; ++i) {
    if (image[i] != 0) __builtin_trap();  // written beyond the EEPROM
  }
  return 0;
}
