// eeprom_verify.cpp - reading the EEPROM back after programming and comparing it with the image.
#include "nvm/eeprom_program.h"

#include "common/image_buffer.h"
#include "driver/driver_operations.h"

int VerifyEeprom(Driver& driver, const uint8_t* image, int32_t length) {
  Console& console = driver.console();
  if (length > kMaxImageBytes || length < 0) {
    console.Print("Invalid eeprom size\n");
    return kVerifyTooLong;
  }
  uint8_t device[kImageBufferSize] = {};
  if (!E2P_READ_BLOCK(driver, static_cast<uint16_t>(length), device)) {
    console.Print("Failed to read eeprom\n");
    return kVerifyReadFailed;
  }
  for (int32_t i = 0; i < length; ++i) {
    if (device[i] != image[i]) {
      console.Print("Failed to verify eeprom contents\n");
      return kVerifyDiffers;
    }
  }
  return 0;
}
