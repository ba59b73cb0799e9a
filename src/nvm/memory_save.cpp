// memory_save.cpp - the EEPROM or the OTP saved to a file, as raw bytes from offset 0.
#include "nvm/memory_save.h"

#include <cstring>
#include <string>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "platform/user_file.h"

namespace {

constexpr int kChipNameChars = 7;

const char* DefaultFileName(bool otp, int32_t size, char* file_base) {
  const char* suffix = otp ? "-otp.bin" : size == 256 ? "-256.bin" : "-512.bin";
  std::strcpy(file_base + kChipNameChars, suffix);
  return file_base;
}

}  // namespace

MemorySaveResult SaveMemory(Driver& driver, bool otp, int32_t size, const char* file_name,
                            char* file_base) {
  Console& console = driver.console();
  uint8_t memory[kImageBufferSize] = {};
  const auto length = static_cast<uint16_t>(size);
  const bool read =
      otp ? OTP_READ_BLOCK(driver, 0, length, memory) : E2P_READ_BLOCK(driver, length, memory);
  if (!read) return MemorySaveResult::kFailed;
  const bool named = file_name != nullptr;
  const char* name = named ? file_name : DefaultFileName(otp, size, file_base);
  std::string reason;
  switch (ReplaceUserFile(name, memory, static_cast<size_t>(size), &reason)) {
    case ReplaceResult::kNotCreated:
      console.Error("ERROR::Failed to create/open %s\n", name);
      console.Diagnostic("%s: %s\n", name, reason.c_str());
      return named ? MemorySaveResult::kNamedFileFailed : MemorySaveResult::kFailed;
    case ReplaceResult::kNotWritten:
      console.Error("ERROR::WriteFile Failed\n");
      console.Diagnostic("%s: %s\n", name, reason.c_str());
      return MemorySaveResult::kFailed;
    case ReplaceResult::kReplaced:
      break;
  }
  console.Printf(otp ? "Saved OTP content to the file %s under current folder\n"
                     : "Saved Eeprom to the file %s under current folder\n",
                 name);
  return MemorySaveResult::kSaved;
}
