// firmware_file.h - the PHY microcontroller download's modes and reading its input file: a
// firmware image of up to 16384 bytes or a parameters file of up to 1024 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/console.h"

enum class FirmwareMode {
  kLoad,          // load the image, no read-back
  kVerify,        // read program memory back against the image, load nothing
  kResetAndLoad,  // reset the MCU, load the image, read program memory back
  kParameters,    // load the parameters file and read it back from XDATA
};

constexpr size_t kFirmwareImageMaxBytes = 16384;
constexpr size_t kFirmwareParametersMaxBytes = 1024;

// A file's bytes, in a buffer of kFirmwareImageMaxBytes.
struct FirmwareFile {
  std::unique_ptr<uint8_t[]> bytes;
  size_t length = 0;
};

// Reads |name| for |mode| and checks its length. Prints the reason and returns false when the
// file is missing, empty or too long for the mode; nothing reaches the device before this.
bool ReadFirmwareFile(const char* name, FirmwareMode mode, Console& console, FirmwareFile* file);
