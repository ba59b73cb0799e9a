// optional_blocks.cpp - building the wake-up filter, LTM/BELT and test-bus blocks of an image.
#include "config/image/optional_blocks.h"

#include "config/image/image_layout.h"

namespace {

constexpr int kWakeFilterBlockSize = 20;
constexpr int kLtmBeltBlockSize = 24;
constexpr int kTestBusBlockSize = 4;
constexpr int kFilterMaskBytes = 16;

using BlockPresent = bool (*)(const DeviceSettings&);
using BlockWriter = void (*)(const DeviceSettings&, uint8_t* block);

struct OptionalBlock {
  int size;
  BlockPresent present;
  BlockWriter write;
};

void WriteWakeFilter(const DeviceSettings& settings, uint8_t* block) {
  const uint8_t* pattern = settings.FilterMaskPatternBytes.data();
  PutLe16(block, 0, WakeFilterCrc16(pattern));
  block[2] = static_cast<uint8_t>(settings.FilterPatternOffset);
  block[3] = static_cast<uint8_t>(0x80 | (settings.FilterAddressType & 3));
  // One mask bit per pattern byte: bit b of mask byte k stands for pattern byte 8k + b.
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    uint8_t mask = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (pattern[8 * k + bit] != 0) mask |= static_cast<uint8_t>(1u << bit);
    }
    block[4 + k] = mask;
  }
}

void WriteLtmBelt(const DeviceSettings& settings, uint8_t* block) {
  const uint32_t words[] = {settings.LTMBELTIdle0,     settings.LTMBELTIdle1,
                            settings.LTMBELTActive0,   settings.LTMBELTActive1,
                            settings.LTMBELTInActive0, settings.LTMBELTInActive1};
  for (int i = 0; i < 6; ++i) PutLe32(block, 4 * i, words[i]);
}

void WriteTestBus(const DeviceSettings& settings, uint8_t* block) {
  PutLe32(block, 0, settings.CommonTestBusIn);
}

// In block-table order.
constexpr OptionalBlock kOptionalBlocks[kBlockCount] = {
    {.size = kWakeFilterBlockSize,
     .present = [](const DeviceSettings& s) { return s.PMEWUFFEnable != 0; },
     .write = WriteWakeFilter},
    {.size = kLtmBeltBlockSize,
     .present = [](const DeviceSettings& s) { return s.LTMBELTPresent != 0; },
     .write = WriteLtmBelt},
    {.size = kTestBusBlockSize,
     .present = [](const DeviceSettings& s) { return s.CommonTestBusInPresent != 0; },
     .write = WriteTestBus},
};

}  // namespace

uint16_t WakeFilterCrc16(const uint8_t pattern[kFilterMaskPatternMaxBytes]) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < kFilterMaskPatternMaxBytes; ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      const bool data_bit = (pattern[i] >> bit) & 1;
      const bool top_bit = (crc >> 15) & 1;
      crc = static_cast<uint16_t>(crc << 1);
      if (data_bit != top_bit) crc ^= 0x8005;
    }
  }
  return crc;
}

int AppendOptionalBlocks(const DeviceSettings& settings, int32_t eeprom_size, uint8_t bias,
                         uint8_t* image, int32_t* image_length, Console& console) {
  const int32_t capacity = eeprom_size < kMaxImageBytes ? eeprom_size : kMaxImageBytes;
  for (int index = 0; index < kBlockCount; ++index) {
    const OptionalBlock& block = kOptionalBlocks[index];
    if (!block.present(settings)) continue;
    const int32_t end = *image_length + block.size;
    if (end > capacity) {
      console.Error(
          "Eeprom content (%d bytes) is larger than the actual size (%d bytes) of the EEPROM\n",
          end, eeprom_size);
      console.Error("Probably you can reduce the strings sizes and try.\n");
      return -1;
    }
    const int pair = kBlockTableOffset + 2 * index;
    image[pair] = static_cast<uint8_t>(block.size);
    image[pair + 1] = static_cast<uint8_t>(bias + *image_length / 2);
    block.write(settings, image + *image_length);
    *image_length = end;
  }
  return 0;
}
