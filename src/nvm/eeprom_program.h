// eeprom_program.h - programming the EEPROM with an image in hand (-w), and verifying it.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "nvm/eeprom_job.h"

// Results of VerifyEeprom besides 0.
constexpr int kVerifyDiffers = 1;
constexpr int kVerifyReadFailed = 5;
constexpr int kVerifyTooLong = 6;

// Reads up to kImageBufferSize bytes of the binary file |name| into the zeroed |image| and sets
// |length| to the count read. Returns false after "No file ... was found".
bool LoadEepromImageFile(const char* name, uint8_t* image, int32_t* length, Console& console);

// True when |job.image_length| fits |job.eeprom_size|; else false after its message.
bool EepromImageFits(const EepromJob& job, Console& console);

// Writes |job.eeprom_size| bytes of |job.image| and verifies |job.image_length| bytes of it, after
// checking that the image fits; |job.gate| passes right before the block goes out. Returns true,
// with the programmed line printed, or false after its messages.
bool ProgramEeprom(Driver& driver, const EepromJob& job);

// Reads |length| bytes back from EEPROM offset 0 and compares them with |image|. Returns 0 when
// they match, else one of the results above after its message.
int VerifyEeprom(Driver& driver, const uint8_t* image, int32_t length);
