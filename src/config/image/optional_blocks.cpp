// optional_blocks.cpp - building the wake-up filter, LTM/BELT and test-bus blocks of an image.
#include "config/image/optional_blocks.h"

#include "common/image_buffer.h"
#include "common/little_endian.h"
#include "format/image_blocks.h"

namespace {

using BlockPresent = bool (*)(const DeviceSettings&);
using BlockWriter = void (*)(const DeviceSettings&, uint8_t* block);

struct OptionalBlock {
  BlockPresent present;
  BlockWriter write;
};

void WriteWakeFilter(const DeviceSettings& settings, uint8_t* block) {
  const uint8_t* pattern = settings.FilterMaskPatternBytes.data();
  PutLe16(block, kFilterCrcAt, WakeFilterCrc16(pattern));
  block[kFilterPatternOffsetAt] = static_cast<uint8_t>(settings.FilterPatternOffset);
  block[kFilterControlAt] = static_cast<uint8_t>(
      kFilterControlMark | (settings.FilterAddressType & kFilterAddressTypeMask));
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    uint8_t mask = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (pattern[8 * k + bit] != 0) mask |= static_cast<uint8_t>(1u << bit);
    }
    block[kFilterMaskAt + k] = mask;
  }
}

void WriteLtmBelt(const DeviceSettings& settings, uint8_t* block) {
  const uint32_t words[kLtmBeltValues] = {settings.LTMBELTIdle0,     settings.LTMBELTIdle1,
                                          settings.LTMBELTActive0,   settings.LTMBELTActive1,
                                          settings.LTMBELTInActive0, settings.LTMBELTInActive1};
  for (int i = 0; i < kLtmBeltValues; ++i) PutLe32(block, 4 * i, words[i]);
}

void WriteTestBus(const DeviceSettings& settings, uint8_t* block) {
  PutLe32(block, 0, settings.CommonTestBusIn);
}

// In block-table order.
constexpr OptionalBlock kOptionalBlocks[kBlockCount] = {
    {.present = [](const DeviceSettings& s) { return s.PMEWUFFEnable != 0; },
     .write = WriteWakeFilter},
    {.present = [](const DeviceSettings& s) { return s.LTMBELTPresent != 0; },
     .write = WriteLtmBelt},
    {.present = [](const DeviceSettings& s) { return s.CommonTestBusInPresent != 0; },
     .write = WriteTestBus},
};

}  // namespace

int AppendOptionalBlocks(const DeviceSettings& settings, int32_t eeprom_size, uint8_t bias,
                         uint8_t* image, int32_t* image_length, Console& console) {
  const int32_t capacity = eeprom_size < kMaxImageBytes ? eeprom_size : kMaxImageBytes;
  for (int index = 0; index < kBlockCount; ++index) {
    const OptionalBlock& block = kOptionalBlocks[index];
    if (!block.present(settings)) continue;
    const int size = kBlockLengths[index];
    const int32_t end = *image_length + size;
    if (end > capacity) {
      console.Error(
          "Eeprom content (%d bytes) is larger than the actual size (%d bytes) of the EEPROM\n",
          end, eeprom_size);
      console.Error("Probably you can reduce the strings sizes and try.\n");
      return -1;
    }
    const int pair = BlockPairOffset(index);
    image[pair] = static_cast<uint8_t>(size);
    image[pair + 1] = static_cast<uint8_t>(bias + *image_length / 2);
    block.write(settings, image + *image_length);
    *image_length = end;
  }
  return 0;
}
