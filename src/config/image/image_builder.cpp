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

// The fields whose keys the INI file may leave out.
struct OptionalKey {
  HeadField field;
  uint32_t DeviceSettings::*value;
  int32_t DeviceSettings::*present;
};
using S = DeviceSettings;
constexpr OptionalKey kOptionalKeys[] = {
    {HeadField::kConfigFlags1, &S::ConfigFlags1Override, &S::ConfigFlags1OverridePresent},
    {HeadField::kConfigFlags2, &S::ConfigFlags2Override, &S::ConfigFlags2OverridePresent},
    {HeadField::kConfigFlags3, &S::ConfigFlags3Override, &S::ConfigFlags3OverridePresent},
    {HeadField::kUsb3PllTestBusIn, &S::USB3PllTestBusIn, &S::USB3PllTestBusInPresent},
    {HeadField::kUsb2AfeTestBusIn, &S::USB2AFETestBusIn, &S::USB2AFETestBusInPresent},
    {HeadField::kUsb3AfeTestBusIn0, &S::USB3AFETestBusIn0, &S::USB3AFETestBusIn0Present},
    {HeadField::kUsb3AfeTestBusIn1, &S::USB3AFETestBusIn1, &S::USB3AFETestBusIn1Present},
    {HeadField::kConfigFlags4, &S::ConfigFlags4Override, &S::ConfigFlags4OverridePresent},
    {HeadField::kConfigFlags5, &S::ConfigFlags5Override, &S::ConfigFlags5OverridePresent},
    {HeadField::kSpeedsSupported, &S::SpeedsSupported, &S::SpeedsSupportedPresent},
    {HeadField::kFunctionalitySupport, &S::FunctionalitySupport, &S::FunctionalitySupportPresent},
    {HeadField::kU1DevExitLatency, &S::U1DevExitLatency, &S::U1DevExitLatencyPresent},
    {HeadField::kU2DevExitLatency, &S::U2DevExitLatency, &S::U2DevExitLatencyPresent},
};

void FillOptionalKeys(const DeviceSettings& s, uint8_t* image) {
  for (const OptionalKey& key : kOptionalKeys) {
    PutHeadField(image, key.field, Keyed(key.field, s.*key.present, s.*key.value));
  }
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
  Put(image, {{F::kUsb2ExtAttributes, usb2_attributes},
              {F::kSuperSpeedAttributes,
               (flags0 & kFlags0U1U2Enable) != 0 ? kSuperSpeedU1U2Attributes : 0}});
}

void FillSpeed(const DeviceSettings& s, int speed, int32_t max_power, uint8_t* image) {
  const auto field = [speed](SpeedField f) { return FieldOfSpeed(speed, f); };
  uint8_t attributes = kAttributesFixed;
  if (s.RemoteWakeupEnable != 0) attributes |= kAttributesRemoteWakeup;
  if (s.SelfPower != 0) attributes |= kAttributesSelfPowered;
  const HeadField configurations = field(SpeedField::kConfigurations);
  const HeadField power = field(SpeedField::kMaxPower);
  Put(image, {{field(SpeedField::kVendorId), s.VendorID},
              {field(SpeedField::kProductId), s.ProductID},
              {field(SpeedField::kBcdDevice), s.BcdDevice << 8},
              {configurations, RowOf(configurations).absent},
              {field(SpeedField::kAttributes), attributes},
              {power, max_power / RowOf(power).unit}});
  const ImageStrings strings = ImageStringsOf(s);
  for (int slot = 0; slot < kStringCount; ++slot) {
    const bool named = strings.present[slot] || slot == kSerialNumberSlot;
    PutHeadField(image, StringIndexField(speed, slot), named ? StringIndexOf(slot) : 0);
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
  FillSpeed(s, kSuperSpeed, s.SSMaxPower, image);
  FillSpeed(s, kHighSpeed, s.HSMaxPower, image);
}

void FillGpio(const DeviceSettings& s, uint8_t* image) {
  using F = HeadField;
  Put(image, {{F::kGpioData, s.GPIOData},
              {F::kGpioDirection, s.GPIODirection},
              {F::kGpioBuffer, s.GPIOBuffer},
              {F::kGpioEnable, s.GPIOEnable},
              {F::kLedBehavior, s.LEDBehavior}});
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
  PutHeadField(image, HeadField::kConfigFlags0, ConfigFlags0(settings));
  FillOptionalKeys(settings, image);
  FillCapabilities(settings, image);
  if (CheckSsMaxPower(settings, console) != 0) return -1;
  FillDescriptors(settings, bias, image);
  FillGpio(settings, image);
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
