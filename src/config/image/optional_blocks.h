// optional_blocks.h - building the three optional blocks that follow the strings of an image
// (wake-up filter, LTM/BELT, test bus).
#pragma once

#include <cstdint>

#include "config/device_settings.h"
#include "platform/console.h"

// Appends each present block at |*image_length| (even), points its block-table pair at it (word
// offset plus |bias|) and advances |*image_length|. Returns 0, or -1 after its messages when a
// block would end beyond |eeprom_size|.
int AppendOptionalBlocks(const DeviceSettings& settings, int32_t eeprom_size, uint8_t bias,
                         uint8_t* image, int32_t* image_length, Console& console);
