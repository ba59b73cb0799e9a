// image_builder.cpp - the 192-byte head of a configuration image: controller settings, the
// configuration flags, the offset tables and the USB descriptors, followed by the strings and
// the optional blocks.
#include "config/image/image_builder.h"

#include <cstring>

#include "common/chip_table.h"
#include "config/image/optional_blocks.h"
#include "config/image/string_area.h"

namespace {

constexpr int kMaxSsPollInterval = 16;
constexpr int kMinSsMaxPower = 8;
constexpr int kMaxSsMaxPower = 896;
constexpr uint16_t kStringLanguageId = 0x0409;
constexpr uint8_t kSerialNumberIndex = 3;

// Defaults of the configuration-flags words that the INI file may override.
constexpr uint8_t kConfigFlags0Default[4] = {0x07, 0x80, 0xD1, 0x07};
constexpr uint32_t kConfigFlags1Default = 0x00016780;
constexpr uint32_t kConfigFlags2Default = 0;
constexpr uint32_t kConfigFlags3Default = 0x001E000A;
constexpr uint32_t kConfigFlags4Default = 0;
constexpr uint32_t kConfigFlags5Default = 0x4F008031;
constexpr uint32_t kUsb2ExtAttributesDefault = 0x0000010E;

// Descriptor table: (length, word offset) of the BOS, the SuperSpeed device and configuration,
// the high-speed device and configuration, and again the high-speed pair.
struct DescriptorPointer {
  uint8_t length;
  uint8_t word;
};
constexpr DescriptorPointer kDescriptorTable[7] = {
    {.length = 0x16, .word = 0x31}, {.length = 0x12, .word = 0x3C}, {.length = 0x12, .word = 0x45},
    {.length = 0x12, .word = 0x4E}, {.length = 0x12, .word = 0x57}, {.length = 0x12, .word = 0x4E},
    {.length = 0x12, .word = 0x57},
};

// Fixed descriptor bytes, copied as they are.
struct FixedBytes {
  int offset;
  uint8_t bytes[10];
  int count;
};
constexpr FixedBytes kFixedBytes[] = {
    {.offset = 0x62, .bytes = {0x05, 0x0F, 0x16, 0x00, 0x02}, .count = 5},  // BOS
    {.offset = 0x67, .bytes = {0x07, 0x10, 0x02}, .count = 3},              // USB 2.0 Extension
    {.offset = 0x6E, .bytes = {0x0A, 0x10, 0x03}, .count = 3},              // SuperSpeed USB Device
    {.offset = 0x78, .bytes = {0x12, 0x01, 0x10, 0x03, 0xFF, 0x00, 0xFF, 0x09}, .count = 8},
    {.offset = 0x88, .bytes = {kSerialNumberIndex, 0x01}, .count = 2},
    {.offset = 0x8A, .bytes = {0x09, 0x02, 0x39, 0x00, 0x01, 0x01}, .count = 6},
    {.offset = 0x93, .bytes = {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, .count = 8},
    {.offset = 0x9C, .bytes = {0x12, 0x01, 0x10, 0x02, 0xFF, 0x00, 0xFF, 0x40}, .count = 8},
    {.offset = 0xAC, .bytes = {kSerialNumberIndex, 0x01}, .count = 2},
    {.offset = 0xAE, .bytes = {0x09, 0x02, 0x27, 0x00, 0x01, 0x01}, .count = 6},
    {.offset = 0xB7, .bytes = {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, .count = 8},
};

// The device descriptors and configurations whose variable bytes are filled from the settings.
constexpr int kDeviceDescriptorOffsets[] = {0x78, 0x9C};
constexpr int kConfigurationOffsets[] = {0x8A, 0xAE};

uint8_t Bit(int32_t flag, int bit) { return flag != 0 ? static_cast<uint8_t>(1u << bit) : 0; }

uint32_t Override(uint32_t value, int32_t present, uint32_t fallback) {
  return present != 0 ? value : fallback;
}

void FillControllerBytes(const DeviceSettings& s, uint8_t* image) {
  std::memcpy(image + kMacAddressOffset, s.CurrentMacAddress.data(), kMacAddressBytes);
  PutLe16(image, 0x07, s.GPIOWake);
  image[0x09] = Bit(s.GPIOPMEEnable, 7) | Bit(s.GPIOPMEConfiguration, 6) | Bit(s.GPIOPMELength, 5) |
                Bit(s.GPIOPMEPolarity, 4) | Bit(s.GPIOBufferType, 3) | Bit(s.GPIOPMEWOLSelect, 2) |
                Bit(s.PMEMagicPacketEnable, 1) | Bit(s.PMEPerfectDAEnable, 0);
  image[0x0A] = Bit(s.GPIOConnectBufferType, 6) | Bit(s.GPIOConnectEnable, 5) |
                Bit(s.GPIOConnectPolarity, 4) | Bit(s.PMEWUFFEnable, 0);
  image[0x0B] =
      Bit(s.LED3Enable, 3) | Bit(s.LED2Enable, 2) | Bit(s.LED1Enable, 1) | Bit(s.LED0Enable, 0);
  image[0x0C] = static_cast<uint8_t>((s.LED1Function & 0xF) << 4 | (s.LED0Function & 0xF));
  image[0x0D] = static_cast<uint8_t>((s.LED3Function & 0xF) << 4 | (s.LED2Function & 0xF));
  PutLe16(image, 0x0E, s.GPIOWakePolarity);
  image[0x10] = static_cast<uint8_t>(s.FSPollInterval);
  image[0x11] = static_cast<uint8_t>(s.HSPollInterval);
}

void FillConfigFlags(const DeviceSettings& s, uint8_t* image) {
  if (s.ConfigFlags0OverridePresent != 0) {
    PutLe32(image, 0x13, s.ConfigFlags0Override);
  } else {
    std::memcpy(image + 0x13, kConfigFlags0Default, sizeof kConfigFlags0Default);
    image[0x13] = 0x04 | Bit(s.RemoteWakeupEnable, 1) | Bit(s.SelfPower, 0);
    if (s.SWModeSuspendNSelect != 0) {
      image[0x15] = static_cast<uint8_t>(0xD1 | (s.SWModeSuspendNSelect & 3) << 2);
    }
    if (s.SWModePolarity != 0) image[0x15] |= static_cast<uint8_t>((s.SWModePolarity & 1) << 1);
  }
  PutLe32(image, 0x17,
          Override(s.ConfigFlags1Override, s.ConfigFlags1OverridePresent, kConfigFlags1Default));
  PutLe32(image, 0x1B,
          Override(s.ConfigFlags2Override, s.ConfigFlags2OverridePresent, kConfigFlags2Default));
  PutLe32(image, 0x1F,
          Override(s.ConfigFlags3Override, s.ConfigFlags3OverridePresent, kConfigFlags3Default));
}

// The USB 2.0 Extension and SuperSpeed capabilities follow the LPM bit (bit 2 of byte 0x13) and
// the U1/U2 enable (bit 6 of byte 0x15) of configuration flags 0.
void FillCapabilities(const DeviceSettings& s, uint8_t* image) {
  uint32_t usb2_attributes =
      Override(s.USB2ExtAttributes, s.USB2ExtAttributesPresent, kUsb2ExtAttributesDefault);
  if (image[0x13] & 0x04) {
    usb2_attributes |= 0x6;
  } else {
    usb2_attributes &= ~uint32_t{0x6};
  }
  PutLe32(image, 0x6A, usb2_attributes);
  if (image[0x15] & 0x40) image[0x71] = 0x02;
  PutLe16(image, 0x72, Override(s.SpeedsSupported & 0xF, s.SpeedsSupportedPresent, 0x000E));
  image[0x74] = static_cast<uint8_t>(
      Override(s.FunctionalitySupport & 0xF, s.FunctionalitySupportPresent, 1));
  image[0x75] =
      static_cast<uint8_t>(Override(s.U1DevExitLatency & 0xF, s.U1DevExitLatencyPresent, 0x0A));
  PutLe16(image, 0x76, Override(s.U2DevExitLatency & 0xFFF, s.U2DevExitLatencyPresent, 0x05DC));
}

void FillDescriptors(const DeviceSettings& s, uint8_t bias, uint8_t* image) {
  PutLe16(image, 0x23, kStringLanguageId);
  for (int i = 0; i < 7; ++i) {
    image[kDescriptorTableOffset + 2 * i] = kDescriptorTable[i].length;
    image[kDescriptorTableOffset + 2 * i + 1] =
        static_cast<uint8_t>(bias + kDescriptorTable[i].word);
  }
  for (const FixedBytes& fixed : kFixedBytes) {
    std::memcpy(image + fixed.offset, fixed.bytes, static_cast<size_t>(fixed.count));
  }
  const uint16_t bcd_device = static_cast<uint16_t>(s.BcdDevice << 8);
  for (int offset : kDeviceDescriptorOffsets) {
    PutLe16(image, offset + 8, s.VendorID);
    PutLe16(image, offset + 10, s.ProductID);
    PutLe16(image, offset + 12, bcd_device);
    image[offset + 14] = s.ManufacturerString ? 1 : 0;
    image[offset + 15] = s.ProductString ? 2 : 0;
  }
  const uint8_t attributes = 0x80 | Bit(s.RemoteWakeupEnable, 5) | Bit(s.SelfPower, 6);
  for (int offset : kConfigurationOffsets) {
    image[offset + 6] = s.ConfigurationString ? 4 : 0;
    image[offset + 7] = attributes;
    image[offset + 17] = s.InterfaceString ? 5 : 0;
  }
  image[0x92] = static_cast<uint8_t>(s.SSMaxPower / 8);
  image[0xB6] = static_cast<uint8_t>(s.HSMaxPower / 2);
}

void FillTestBusAndGpio(const DeviceSettings& s, uint8_t* image) {
  PutLe16(image, 0x43, s.USB3PllTestBusInPresent != 0 ? s.USB3PllTestBusIn : 0);
  image[0x45] = static_cast<uint8_t>(s.USB2AFETestBusInPresent != 0 ? s.USB2AFETestBusIn : 0);
  PutLe16(image, 0x48, s.GPIOData);
  PutLe16(image, 0x4A, s.GPIODirection);
  PutLe16(image, 0x4C, s.GPIOBuffer);
  PutLe16(image, 0x4E, static_cast<uint16_t>(~s.GPIOEnable));
  PutLe32(image, 0x50, s.USB3AFETestBusIn0Present != 0 ? s.USB3AFETestBusIn0 : 0);
  PutLe32(image, 0x54, s.USB3AFETestBusIn1Present != 0 ? s.USB3AFETestBusIn1 : 0);
  PutLe16(image, 0x58, s.LEDBehavior);
  PutLe32(image, 0x5A,
          Override(s.ConfigFlags4Override, s.ConfigFlags4OverridePresent, kConfigFlags4Default));
  PutLe32(image, 0x5E,
          Override(s.ConfigFlags5Override, s.ConfigFlags5OverridePresent, kConfigFlags5Default));
}

int CheckPollInterval(const DeviceSettings& s, Console& console) {
  if (s.SSPollInterval == 0) {
    console.Error("Super speed interrupt polling interval cannot be 0.\n");
    return -1;
  }
  if (s.SSPollInterval > kMaxSsPollInterval) {
    console.Error("Super speed interrupt polling interval cannot exceed %d.\n", kMaxSsPollInterval);
    return -1;
  }
  return 0;
}

int CheckSsMaxPower(const DeviceSettings& s, Console& console) {
  if (s.SSMaxPower == 0) return 0;
  if (s.SSMaxPower < kMinSsMaxPower) {
    console.Error("SSMaxPower cannot be less than %dmA\n", kMinSsMaxPower);
    return -1;
  }
  if (s.SSMaxPower > kMaxSsMaxPower) {
    console.Error("SSMaxPower exceed %dmA\n", kMaxSsMaxPower);
    return -1;
  }
  return 0;
}

}  // namespace

int BuildEepromImage(const DeviceSettings& settings, const ImageTarget& target, uint8_t* image,
                     int32_t* length, Console& console) {
  if (FindChip(target.chip_id) == nullptr) {
    console.Error("Invalid chip\n");
    return -1;
  }
  return BuildImage(settings, target, image, kImageKindEeprom, length, console);
}

int BuildImage(const DeviceSettings& settings, const ImageTarget& target, uint8_t* image,
               ImageKind kind, int32_t* length, Console& console) {
  uint8_t bias = 0;
  if (kind == kImageKindOtp) {
    image[0] = static_cast<uint8_t>(settings.OtpSignature);
    bias = image[0] == kOtpLowerHalfSignature ? 0 : kUpperHalfBias;
  } else {
    image[0] = kEepromImageSignature;
  }
  FillControllerBytes(settings, image);
  if (CheckPollInterval(settings, console) != 0) return -1;
  image[0x12] = static_cast<uint8_t>(settings.SSPollInterval);
  FillConfigFlags(settings, image);
  FillCapabilities(settings, image);
  if (CheckSsMaxPower(settings, console) != 0) return -1;
  FillDescriptors(settings, bias, image);
  FillTestBusAndGpio(settings, image);
  std::memset(image + kBlockTableOffset, 0, 2 * kBlockCount);

  int32_t built = 0;
  if (BuildStringArea(ImageStringsOf(settings), target.size, bias, image, kStringAreaStart, &built,
                      console) != 0) {
    return -1;
  }
  if (AppendOptionalBlocks(settings, target.size, bias, image, &built, console) != 0) return -1;
  *length = built;
  return 0;
}
