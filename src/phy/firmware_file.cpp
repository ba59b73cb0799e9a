// firmware_file.cpp - reading a firmware image or parameters file whole, with its length checks.
#include "phy/firmware_file.h"

#include <new>
#include <string>
#include <utility>

#include "platform/user_file.h"

bool ReadFirmwareFile(const char* name, FirmwareMode mode, Console& console, FirmwareFile* file) {
  // One byte more than the largest image tells a file that is too long from one that fits.
  const size_t capacity = kFirmwareImageMaxBytes + 1;
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[capacity]);
  if (bytes == nullptr) {
    console.Error("Not enough memory\n");
    return false;
  }
  size_t length = 0;
  // A file that cannot be read whole (a directory, a read error) is as good as missing.
  std::string reason;
  if (!ReadUserFile(name, bytes.get(), capacity, &length, &reason)) {
    console.Error("No file %s is found\n", name);
    console.Diagnostic("%s: %s\n", name, reason.c_str());
    return false;
  }
  const bool longer = length > kFirmwareImageMaxBytes;

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
