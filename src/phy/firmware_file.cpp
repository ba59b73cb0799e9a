// firmware_file.cpp - reading a firmware image or parameters file whole, with its length checks.
#include "phy/firmware_file.h"

#include <cstdio>
#include <new>
#include <utility>

namespace {

// True when |stream| holds at least one more byte.
bool HasMore(std::FILE* stream) { return std::fgetc(stream) != EOF; }

}  // namespace

bool ReadFirmwareFile(const char* name, FirmwareMode mode, Console& console, FirmwareFile* file) {
  std::FILE* stream = std::fopen(name, "rb");
  if (stream == nullptr) {
    console.Error("No file %s is found\n", name);
    return false;
  }
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[kFirmwareImageMaxBytes]);
  if (bytes == nullptr) {
    std::fclose(stream);
    console.Error("Not enough memory\n");
    return false;
  }
  const size_t length = std::fread(bytes.get(), 1, kFirmwareImageMaxBytes, stream);
  const bool longer = length == kFirmwareImageMaxBytes && HasMore(stream);
  std::fclose(stream);

  if (length == 0) {
    console.Error("Not enough bytes in file %s\n", name);
    return false;
  }
  if (mode == FirmwareMode::kParameters) {
    if (length > kFirmwareParametersMaxBytes) {
      console.Error("Firmware Parameters file %s size must be <= 1024 bytes\n", name);
      return false;
    }
  } else if (longer) {
    console.Error("Firmware image file %s size must be <= 16384 bytes\n", name);
    return false;
  }
  file->bytes = std::move(bytes);
  file->length = length;
  return true;
}
