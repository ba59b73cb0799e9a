// string_area.cpp - laying out the string descriptors one after another from the end of the
// head, each as a 16-bit header (length, 0x03) and one 16-bit unit per character.
#include "config/image/string_area.h"

#include "common/image_buffer.h"
#include "common/little_endian.h"
#include "format/image_layout.h"

namespace {

void SetSlot(ImageStrings& strings, int slot, const std::optional<std::string>& text) {
  if (!text) return;
  strings.text[slot] = *text;
  strings.present[slot] = true;
}

}  // namespace

ImageStrings ImageStringsOf(const DeviceSettings& settings) {
  ImageStrings strings;
  SetSlot(strings, kManufacturerSlot, settings.ManufacturerString);
  SetSlot(strings, kProductSlot, settings.ProductString);
  SetSlot(strings, kSerialNumberSlot, settings.CurrentSerialNumber);
  SetSlot(strings, kConfigurationSlot, settings.ConfigurationString);
  SetSlot(strings, kInterfaceSlot, settings.InterfaceString);
  return strings;
}

int BuildStringArea(const ImageStrings& strings, int32_t eeprom_size, uint8_t bias, uint8_t* image,
                    int start, int32_t* image_length, Console& console) {
  // The length byte of the table pair and of the header holds 2n + 2: a longer string would
  // wrap it and corrupt every descriptor after it.
  for (int slot = 0; slot < kStringCount; ++slot) {
    if (strings.present[slot] && strings.text[slot].size() > kMaxDescriptorChars) {
      console.Error("%s has %d characters; a string descriptor holds at most %d\n",
                    kStringSlotNames[slot], static_cast<int>(strings.text[slot].size()),
                    kMaxDescriptorChars);
      return -1;
    }
  }

  const int32_t capacity_bytes = eeprom_size < kMaxImageBytes ? eeprom_size : kMaxImageBytes;
  const int capacity = capacity_bytes / 2;
  int word = start / 2;
  for (int slot = 0; slot < kStringCount; ++slot) {
    const int pair = StringPairOffset(slot);
    if (!strings.present[slot]) {
      image[pair] = 0;
      image[pair + 1] = 0;
      continue;
    }
    const std::string_view text = strings.text[slot];
    const int length = 2 * static_cast<int>(text.size()) + 2;
    image[pair] = static_cast<uint8_t>(length);
    image[pair + 1] = static_cast<uint8_t>(bias + word);
    for (int unit = 0; unit <= static_cast<int>(text.size()); ++unit, ++word) {
      if (word >= capacity) {
        console.Warning("The size of generated binary is greater than EEPROM size(%dBytes)\n",
                        eeprom_size);
        return -1;
      }
      const uint16_t value = unit == 0 ? static_cast<uint16_t>(length | kStringDescriptorType << 8)
                                       : StringCharacterUnit(text[unit - 1]);
      PutLe16(image, 2 * word, value);
    }
  }
  *image_length = 2 * word;
  return 0;
}
