// head_fields.h - the named fields of an image's 192-byte head: where each lies, how wide it is,
// how the inspector shows it, the INI key that sets it and the value it takes when that key is
// absent. The builder writes these fields; the inspector reads them and writes their keys back.
#pragma once

#include <cstdint>

#include "format/image_layout.h"

// The fields of one speed's device descriptor and configuration, which the head holds for each
// of its two speeds.
// clang-format off
enum class SpeedField : int {
  kVendorId, kProductId, kBcdDevice,
  kManufacturerIndex, kProductIndex, kSerialNumberIndex, kConfigurations,
  kConfigurationIndex, kAttributes, kMaxPower, kInterfaceIndex,
  kCount,
};
// clang-format on
constexpr int kSpeedFieldCount = static_cast<int>(SpeedField::kCount);

// In layout order, as the inspector lists them.
// clang-format off
enum class HeadField : int {
  kCurrentMacAddress, kGpioWake,
  kGpioPmeEnable, kGpioPmeConfiguration, kGpioPmeLength, kGpioPmePolarity, kGpioBufferType,
  kGpioPmeWolSelect, kPmeMagicPacketEnable, kPmePerfectDaEnable,
  kGpioConnectBufferType, kGpioConnectEnable, kGpioConnectPolarity, kPmeWuffEnable,
  kLed3Enable, kLed2Enable, kLed1Enable, kLed0Enable,
  kLed1Function, kLed0Function, kLed3Function, kLed2Function,
  kGpioWakePolarity, kFsPollInterval, kHsPollInterval, kSsPollInterval,
  kConfigFlags0, kConfigFlags1, kConfigFlags2, kConfigFlags3, kLanguageId,
  kUsb3PllTestBusIn, kUsb2AfeTestBusIn,
  kGpioData, kGpioDirection, kGpioBuffer, kGpioEnable,
  kUsb3AfeTestBusIn0, kUsb3AfeTestBusIn1, kLedBehavior, kConfigFlags4, kConfigFlags5,
  kUsb2ExtAttributes, kSuperSpeedAttributes,
  kSpeedsSupported, kFunctionalitySupport, kU1DevExitLatency, kU2DevExitLatency,
  // Then each speed's fields, in SpeedField order, the SuperSpeed ones first.
  kFirstSpeedField,
  kCount = kFirstSpeedField + 2 * kSpeedFieldCount,
};
// clang-format on

enum class FieldShow : uint8_t {
  kDecimal,
  kHex,         // as many digits as the field has bytes, two each
  kMacAddress,  // six bytes as "XX:XX:XX:XX:XX:XX"
  kPower,       // the stored steps, then the milliamperes they stand for
};

struct HeadFieldRow {
  const char* name;  // as the inspector shows it, after |prefix|
  int offset;
  int bytes = 1;  // little-endian bytes the field spans
  int shift = 0;  // a field within one byte: its lowest bit
  int bits = 0;   // and its width; 0 for the whole bytes
  FieldShow show = FieldShow::kDecimal;
  const char* key = nullptr;  // the INI key that sets the field
  int key_bits = 0;           // the bits that key takes, when fewer than the field's
  uint32_t absent = 0;        // the value when the key is absent, or the field has none
  int unit = 1;               // the key's value per stored step
  bool inverted = false;      // stored as its one's complement
  const char* prefix = "";    // the speed of a descriptor field
};

const HeadFieldRow& RowOf(HeadField field);

// The field's value out of the little-endian value of its bytes, and back.
uint32_t HeadFieldValue(HeadField field, uint32_t stored);
// Writes |value| into |field| of |image|, leaving the other bits of a shared byte as they are. A
// one-bit field takes any nonzero value as 1; a wider one keeps the bits it has room for.
void PutHeadField(uint8_t* image, HeadField field, uint32_t value);

// The values the INI key of |field| accepts, and the hexadecimal digits that write them.
uint32_t KeyMask(HeadField field);
int KeyDigits(HeadField field);

// |field| of the speed kSuperSpeed or kHighSpeed.
constexpr HeadField FieldOfSpeed(int speed, SpeedField field) {
  return static_cast<HeadField>(static_cast<int>(HeadField::kFirstSpeedField) +
                                speed * kSpeedFieldCount + static_cast<int>(field));
}
// The field of a speed's descriptors that holds the index of the string in |slot|.
HeadField StringIndexField(int speed, int slot);

// Configuration flags 0 as a 32-bit value, the bits its keys set and those that others follow.
constexpr uint32_t kFlags0SelfPower = 1u << 0;
constexpr uint32_t kFlags0RemoteWakeup = 1u << 1;
constexpr uint32_t kFlags0Lpm = 1u << 2;  // gives the USB 2.0 Extension its LPM bits
constexpr uint32_t kFlags0SwModePolarity = 1u << 17;
constexpr int kFlags0SuspendSelectShift = 18;     // two bits
constexpr uint32_t kFlags0U1U2Enable = 1u << 22;  // gives the SuperSpeed attributes
constexpr uint32_t kUsb2ExtLpmBits = 0x6;
constexpr uint8_t kSuperSpeedU1U2Attributes = 0x02;

// Configuration flags 0 when the INI file gives its four keys rather than the whole word.
uint32_t DerivedConfigFlags0(int32_t suspend_select, int32_t polarity, bool remote_wakeup,
                             bool self_power);

// The attributes byte of both configuration descriptors.
constexpr uint8_t kAttributesFixed = 0x80;
constexpr uint8_t kAttributesSelfPowered = 0x40;
constexpr uint8_t kAttributesRemoteWakeup = 0x20;
