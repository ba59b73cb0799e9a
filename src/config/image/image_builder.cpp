// image_builder.cpp - the 192-byte head of a configuration image, each field where the head's
// field table places it: controller settings, the configuration flags, the offset tables and the
// USB descriptors; then the strings and the optional blocks.
#include "config/image/image_builder.h"

#include <cstring>
#include <initializer_list>

#include "common/chip_table.h"
#include "config/image/optional_blocks.h"
#include "config/image/string_area.h"
#include "format/head_fields.h"
#include "format/otp_form.h"

namespace {

constexpr int kMaxSsPollInterval = 16;
constexpr int kMinSsMaxPower = 8;
constexpr int kMaxSsMaxPower = 896;

// A value for one head field, which keeps the bits it has room for.
struct FieldValue {
  FieldValue(HeadField field, int64_t value) : field(field), value(static_cast<uint32_t>(value)) {}
  HeadField field;
  uint32_t value;
};

void Put(uint8_t* image, std::initializer_list<FieldValue> values) {
  for (const FieldValue& value : values) PutHeadField(image, value.field, value.value);
}

// The key's value when the INI file gives it, else what the field holds without it.
uint32_t Keyed(HeadField field, int32_t present, uint32_t value) {
  return present != 0 ? value & KeyMask(field) : RowOf(field).absent;
}

void FillControllerBytes(const DeviceSettings& s, uint8_t* image) {
  std::memcpy(image + kMacAddressOffset, s.CurrentMacAddress.data(), kMacAddressBytes);
  using F = HeadField;
  Put(image, {{F::kGpioWake, s.GPIOWake},
              {F::kGpioPmeEnable, s.GPIOPMEEnable},
              {F::kGpioPmeConfiguration, s.GPIOPMEConfiguration},
              {F::kGpioPmeLength, s.GPIOPMELength},
              {F::kGpioPmePolarity, s.GPIOPMEPolarity},
              {F::kGpioBufferType, s.GPIOBufferType},
              {F::kGpioPmeWolSelect, s.GPIOPMEWOLSelect},
              {F::kPmeMagicPacketEnable, s.PMEMagicPacketEnable},
              {F::kPmePerfectDaEnable, s.PMEPerfectDAEnable},
              {F::kGpioConnectBufferType, s.GPIOConnectBufferType},
              {F::kGpioConnectEnable, s.GPIOConnectEnable},
              {F::kGpioConnectPolarity, s.GPIOConnectPolarity},
              {F::kPmeWuffEnable, s.PMEWUFFEnable},
              {F::kLed3Enable, s.LED3Enable},
              {F::kLed2Enable, s.LED2Enable},
              {F::kLed1Enable, s.LED1Enable},
              {F::kLed0Enable, s.LED0Enable},
              {F::kLed1Function, s.LED1Function},
              {F::kLed0Function, s.LED0Function},
              {F::kLed3Function, s.LED3Function},
              {F::kLed2Function, s.LED2Function},
              {F::kGpioWakePolarity, s.GPIOWakePolarity},
              {F::kFsPollInterval, s.FSPollInterval},
              {F::kHsPollInterval, s.HSPollInterval}});
}

uint32_t ConfigFlags0(const DeviceSettings& s) {
  if (s.ConfigFlags0OverridePresent != 0) return s.ConfigFlags0Override;
  return DerivedConfigFlags0(s.SWModeSuspendNSelect, s.SWModePolarity, s.RemoteWakeupEnable != 0,
                             s.SelfPower != 0);
}

void FillConfigFlags(const DeviceSettings& s, uint8_t* image) {
  using F = HeadField;
  Put(image, {{F::kConfigFlags0, ConfigFlags0(s)},
              {F::kConfigFlags1,
               Keyed(F::kConfigFlags1, s.ConfigFlags1OverridePresent, s.ConfigFlags1Override)},
              {F::kConfigFlags2,
               Keyed(F::kConfigFlags2, s.ConfigFlags2OverridePresent, s.ConfigFlags2Override)},
              {F::kConfigFlags3,
               Keyed(F::kConfigFlags3, s.ConfigFlags3OverridePresent, s.ConfigFlags3Override)}});
}

// The USB 2.0 Extension and SuperSpeed capabilities follow the LPM and U1/U2 bits of
// configuration flags 0.
void FillCapabilities(const DeviceSettings& s, uint8_t* image) {
  using F = HeadField;
  const uint32_t flags0 = ConfigFlags0(s);
  uint32_t usb2_attributes =
      Keyed(F::kUsb2ExtAttributes, s.USB2ExtAttributesPresent, s.USB2ExtAttributes);
  if ((flags0 & kFlags0Lpm) != 0) {
    usb2_attributes |= kUsb2ExtLpmBits;
  } else {
    usb2_attributes &= ~kUsb2ExtLpmBits;
  }
  Put(image,
      {{F::kUsb2ExtAttributes, usb2_attributes},
       {F::kSuperSpeedAttributes,
        (flags0 & kFlags0U1U2Enable) != 0 ? kSuperSpeedU1U2Attributes : 0},
       {F::kSpeedsSupported,
        Keyed(F::kSpeedsSupported, s.SpeedsSupportedPresent, s.SpeedsSupported)},
       {F::kFunctionalitySupport,
        Keyed(F::kFunctionalitySupport, s.FunctionalitySupportPresent, s.FunctionalitySupport)},
       {F::kU1DevExitLatency,
        Keyed(F::kU1DevExitLatency, s.U1DevExitLatencyPresent, s.U1DevExitLatency)},
       {F::kU2DevExitLatency,
        Keyed(F::kU2DevExitLatency, s.U2DevExitLatencyPresent, s.U2DevExitLatency)}});
}

void FillSpeed(const DeviceSettings& s, const SpeedFields& speed, int32_t max_power,
               uint8_t* image) {
  uint8_t attributes = kAttributesFixed;
  if (s.RemoteWakeupEnable != 0) attributes |= kAttributesRemoteWakeup;
  if (s.SelfPower != 0) attributes |= kAttributesSelfPowered;
  Put(image, {{speed.vendor_id, s.VendorID},
              {speed.product_id, s.ProductID},
              {speed.bcd_device, s.BcdDevice << 8},
              {speed.configurations, RowOf(speed.configurations).absent},
              {speed.attributes, attributes},
              {speed.max_power, max_power / RowOf(speed.max_power).unit}});
  const ImageStrings strings = ImageStringsOf(s);
  for (int slot = 0; slot < kStringCount; ++slot) {
    const bool named = strings.present[slot] || slot == kSerialNumberSlot;
    PutHeadField(image, speed.string_index[slot], named ? StringIndexOf(slot) : 0);
  }
}

void FillDescriptors(const DeviceSettings& s, uint8_t bias, uint8_t* image) {
  PutHeadField(image, HeadField::kLanguageId, RowOf(HeadField::kLanguageId).absent);
  for (int i = 0; i < kDescriptorCount; ++i) {
    image[DescriptorPairOffset(i)] = kDescriptorTable[i].length;
    image[DescriptorPairOffset(i) + 1] = static_cast<uint8_t>(bias + kDescriptorTable[i].word);
  }
  for (const FixedPart& part : kFixedParts) {
    std::memcpy(image + part.offset, part.bytes, static_cast<size_t>(part.count));
  }
  FillSpeed(s, kSuperSpeedFields, s.SSMaxPower, image);
  FillSpeed(s, kHighSpeedFields, s.HSMaxPower, image);
}

void FillTestBusAndGpio(const DeviceSettings& s, uint8_t* image) {
  using F = HeadField;
  Put(image, {{F::kUsb3PllTestBusIn,
               Keyed(F::kUsb3PllTestBusIn, s.USB3PllTestBusInPresent, s.USB3PllTestBusIn)},
              {F::kUsb2AfeTestBusIn,
               Keyed(F::kUsb2AfeTestBusIn, s.USB2AFETestBusInPresent, s.USB2AFETestBusIn)},
              {F::kGpioData, s.GPIOData},
              {F::kGpioDirection, s.GPIODirection},
              {F::kGpioBuffer, s.GPIOBuffer},
              {F::kGpioEnable, s.GPIOEnable},
              {F::kUsb3AfeTestBusIn0,
               Keyed(F::kUsb3AfeTestBusIn0, s.USB3AFETestBusIn0Present, s.USB3AFETestBusIn0)},
              {F::kUsb3AfeTestBusIn1,
               Keyed(F::kUsb3AfeTestBusIn1, s.USB3AFETestBusIn1Present, s.USB3AFETestBusIn1)},
              {F::kLedBehavior, s.LEDBehavior},
              {F::kConfigFlags4,
               Keyed(F::kConfigFlags4, s.ConfigFlags4OverridePresent, s.ConfigFlags4Override)},
              {F::kConfigFlags5,
               Keyed(F::kConfigFlags5, s.ConfigFlags5OverridePresent, s.ConfigFlags5Override)}});
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
    bias = image[0] == kOtpSignatureLower ? 0 : kUpperHalfBias;
  } else {
    image[0] = kEepromImageSignature;
  }
  FillControllerBytes(settings, image);
  if (CheckPollInterval(settings, console) != 0) return -1;
  PutHeadField(image, HeadField::kSsPollInterval, static_cast<uint32_t>(settings.SSPollInterval));
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
