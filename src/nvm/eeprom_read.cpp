// eeprom_read.cpp - the EEPROM saved to a file. An existing file is overwritten from its start,
// not truncated: bytes beyond the EEPROM's size stay.
#include "nvm/eeprom_read.h"

#include <cstdio>
#include <cstring>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"

namespace {

constexpr int kChipNameChars = 7;

const char* DefaultFileName(int32_t eeprom_size, char* file_base) {
  std::strcpy(file_base + kChipNameChars, eeprom_size == 256 ? "-256.bin" : "-512.bin");
  return file_base;
}

}  // namespace

EepromSaveResult ReadEeprom(Driver& driver, const EepromJob& job, char* file_base) {
  Console& console = driver.console();
  uint8_t image[kImageBufferSize] = {};
  const size_t size = static_cast<size_t>(job.eeprom_size);
  if (!E2P_READ_BLOCK(driver, static_cast<uint16_t>(size), image)) {
    return EepromSaveResult::kFailed;
  }

  const char* name =
      job.file_name != nullptr ? job.file_name : DefaultFileName(job.eeprom_size, file_base);
  std::FILE* file = std::fopen(name, "r+b");
  if (file == nullptr) file = std::fopen(name, "wb");
  if (file == nullptr) {
    console.Error("ERROR::Failed to create/open %s\n", name);
    return EepromSaveResult::kFailed;
  }
  // Unbuffered, so that the count written is what reached the file.
  std::setvbuf(file, nullptr, _IONBF, 0);
  const size_t written = std::fwrite(image, 1, size, file);
  if (written == 0 && size != 0) {
    console.Error("ERROR::WriteFile Failed\n");
    std::fclose(file);
    return EepromSaveResult::kFailed;
  }
  const bool closed = std::fclose(file) == 0;
  if (written < size || !closed) {
    console.Error("ERROR::Write buffer has not been written to the file completely\n");
    return EepromSaveResult::kShortWrite;
  }
  console.Printf("Saved Eeprom to the file %s under current folder\n", name);
  return EepromSaveResult::kSaved;
}
