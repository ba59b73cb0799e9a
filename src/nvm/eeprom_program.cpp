// eeprom_program.cpp - programming the EEPROM: the binary image file read in, one block write,
// then the read-back.
#include "nvm/eeprom_program.h"

#include <string>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "platform/user_file.h"

bool LoadEepromImageFile(const char* name, uint8_t* image, int32_t* length, Console& console) {
  size_t count = 0;
  // A file that cannot be read (a directory, a read error) is as missing as one that is not there.
  std::string reason;
  if (!ReadUserFile(name, image, kImageBufferSize, &count, &reason)) {
    console.Error("No file %s was found\n", name);
    console.Diagnostic("%s: %s\n", name, reason.c_str());
    return false;
  }
  *length = static_cast<int32_t>(count);
  return true;
}

bool EepromImageFits(const EepromJob& job, Console& console) {
  if (job.image_length <= job.eeprom_size) return true;
  console.Error("The size of binary file is greater than eeprom size\n");
  return false;
}

bool ProgramEeprom(Driver& driver, const EepromJob& job) {
  Console& console = driver.console();
  if (!EepromImageFits(job, console)) return false;
  if (job.gate != nullptr) job.gate->Starting();
  const GatedWrite written = WriteThroughGate(
      job.gate, job.image, job.image_length, [&](const BeforeDataRequest& before_data) {
        return E2P_WRITE_BLOCK(driver, static_cast<uint16_t>(job.eeprom_size), job.image,
                               before_data);
      });
  if (written == GatedWrite::kRefused) return false;
  if (written == GatedWrite::kFailed) {
    console.Print("Failed to program device eeprom\n");
    return false;
  }
  if (VerifyEeprom(driver, job.image, job.image_length) != 0) {
    console.Error("Failed to verify device eeprom\n");
    return false;
  }
  console.Printf("The current device EEPROM was programmed with %d bytes\n", job.image_length);
  return true;
}
