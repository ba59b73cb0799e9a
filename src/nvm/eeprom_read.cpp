// eeprom_read.cpp - the EEPROM saved to a file, which afterwards holds exactly the EEPROM's
// bytes.
#include "nvm/eeprom_read.h"

#include <cstring>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "platform/user_file.h"

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
  switch (ReplaceUserFile(name, image, size)) {
    case ReplaceResult::kNotCreated:
      console.Error("ERROR::Failed to create/open %s\n", name);
      return EepromSaveResult::kFailed;
    case ReplaceResult::kNotWritten:
      console.Error("ERROR::WriteFile Failed\n");
      return EepromSaveResult::kFailed;
    case ReplaceResult::kReplaced:
      break;
  }
  console.Printf("Saved Eeprom to the file %s under current folder\n", name);
  return EepromSaveResult::kSaved;
}
