// optional_blocks.h - the three optional blocks that follow the strings of an image (wake-up
// filter, LTM/BELT, test bus) and the CRC of the wake-up filter pattern.
#pragma once

#include <cstdint>

#include "config/device_settings.h"
#include "platform/console.h"

// The 16-bit CRC of the 128 filter pattern bytes (polynomial 0x8005, start 0xFFFF, bits taken
// from the least significant, no final inversion).
uint16_t WakeFilterCrc16(const uint8_t pattern[kFilterMaskPatternMaxBytes]);

// Appends each present block at |*image_length| (even), points its block-table pair at it (word
// offset plus |bias|) and advances |*image_length|. Returns 0, or -1 after its messages when a
// block would end beyond |eeprom_size|.
int AppendOptionalBlocks(const DeviceSettings& settings, int32_t eeprom_size, uint8_t bias,
                         uint8_t* image, int32_t* image_length, Console& console);
