// device_settings.h - the settings record: one field per configuration-file key, the presence
// flags of the optional values and the write-back positions of the stepped values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "format/image_blocks.h"
#include "format/mac_text.h"

constexpr uint16_t kDefaultVendorId = 0x0E1D;
constexpr uint16_t kDefaultProductId = 0x5230;
constexpr size_t kSerialNumberMaxChars = 16;

// Texts are the bytes of the value as written in the file (no encoding applied); std::nullopt
// means absent. A default-constructed record is the cleared state of a run.
struct DeviceSettings {
  // Write-back positions of the two values that stepping rewrites in the INI file.
  int32_t CurrentMacAddressOffset = 0;    // byte offset in the file of the value's first char
  int32_t CurrentMacAddressLength = 0;    // characters of the value as written
  int32_t CurrentSerialNumberLength = 0;  // characters of the value, cut at its first blank
  int32_t CurrentSerialNumberOffset = 0;  // byte offset in the file of the value's first char
  int32_t CurrentMacAddressPresent = 0;   // 1 once CurrentMacAddress was read successfully
  uint32_t OtpSignature = 0;              // [OtpConfig]: 0 (not given), a signature or switch-off

  // [MacAddress]
  MacAddress CurrentMacAddress{};   // address for the next board
  MacAddress MaximumMacAddress{};   // highest address stepping may reach
  int32_t MacAddressIncrement = 0;  // step between boards, 1 to 255

  // [SerialNumber]; stepping treats the serial texts as hexadecimal counters.
  std::optional<std::string> CurrentSerialNumber;  // at most 16 characters
  std::optional<std::string> MaximumSerialNumber;  // at most 16 characters
  int32_t SerialNumberIncrement = 0;               // 0 to 255

  // [String]: a string is present only when its enable key was 1; inner and trailing blanks kept.
  std::optional<std::string> ManufacturerString;
  std::optional<std::string> ProductString;
  std::optional<std::string> ConfigurationString;
  std::optional<std::string> InterfaceString;

  // [ID]
  uint16_t VendorID = kDefaultVendorId;
  uint16_t ProductID = kDefaultProductId;
  uint16_t BcdDevice = 0;  // binary-coded decimal: the digits 0102 give 0x0102

  // [Power], milliamperes
  int32_t SSMaxPower = 0;  // multiple of 8; 8 to 896 when nonzero (checked by the image builder)
  int32_t HSMaxPower = 0;  // even; 2 to 500 when nonzero

  // [GPIOConfig]: bit i is GPIO i (bits 0 to 11)
  uint16_t GPIOEnable = 0;
  uint16_t GPIOBuffer = 0;
  uint16_t GPIODirection = 0;  // bit clear: input
  uint16_t GPIOData = 0;
  uint16_t GPIOWake = 0;
  uint16_t GPIOWakePolarity = 0;

  // [GPIOPME0], 0 or 1 each
  int32_t GPIOPMEEnable = 0;
  int32_t GPIOPMEConfiguration = 0;
  int32_t GPIOPMELength = 0;
  int32_t GPIOPMEPolarity = 0;
  int32_t GPIOBufferType = 0;
  int32_t GPIOPMEWOLSelect = 0;
  int32_t PMEMagicPacketEnable = 0;
  int32_t PMEPerfectDAEnable = 0;

  // [GPIOPME1], 0 or 1 each
  int32_t GPIOConnectBufferType = 0;
  int32_t GPIOConnectEnable = 0;
  int32_t GPIOConnectPolarity = 0;
  int32_t PMEWUFFEnable = 0;

  // [LEDConfig0], 0 or 1 each
  int32_t LED3Enable = 0;
  int32_t LED2Enable = 0;
  int32_t LED1Enable = 0;
  int32_t LED0Enable = 0;

  // [LEDConfig1], [LEDConfig2], 0 to 15 each
  int32_t LED1Function = 0;
  int32_t LED0Function = 0;
  int32_t LED3Function = 0;
  int32_t LED2Function = 0;

  // [InterruptPollInterval]
  int32_t FSPollInterval = 0;  // full speed, 1 to 255
  int32_t HSPollInterval = 0;  // high speed, 1 to 16
  int32_t SSPollInterval = 0;  // SuperSpeed, 1 to 16 (checked by the image builder)

  // [PMEWUFConfiguration]
  int32_t FilterAddressType = 0;    // 0 to 2
  int32_t FilterPatternOffset = 0;  // 0 to 255
  uint16_t FilterCRC = 0;           // as read, at most 0xFF; the image builders compute their own
  int32_t FilterCRCAbsent = 0;      // 1 when FilterCRC was not given
  std::optional<std::string> FilterMaskPattern;                       // the pattern text as written
  std::array<uint8_t, kFilterPatternBytes> FilterMaskPatternBytes{};  // parsed, rest 0

  // [ConfigFlags0]
  uint32_t ConfigFlags0Override = 0;  // whole word; bit 2 (0x4) is the LPM bit
  int32_t ConfigFlags0OverridePresent = 0;
  int32_t SWModeSuspendNSelect = 0;  // 0 to 3
  int32_t SWModePolarity = 0;        // 0 or 1
  int32_t RemoteWakeupEnable = 0;    // 0 or 1
  int32_t SelfPower = 0;             // 0 or 1

  // [ConfigFlags1] to [ConfigFlags5]: whole configuration-flags words
  uint32_t ConfigFlags1Override = 0;
  int32_t ConfigFlags1OverridePresent = 0;
  uint32_t ConfigFlags2Override = 0;
  int32_t ConfigFlags2OverridePresent = 0;
  uint32_t ConfigFlags3Override = 0;
  int32_t ConfigFlags3OverridePresent = 0;

  // [LEDBehaviorConfig]
  uint32_t LEDBehavior = 0;  // at most 0xFFFF

  uint32_t ConfigFlags4Override = 0;
  int32_t ConfigFlags4OverridePresent = 0;
  uint32_t ConfigFlags5Override = 0;
  int32_t ConfigFlags5OverridePresent = 0;

  // [LTMBELTConfig]: one presence flag for all six words
  int32_t LTMBELTPresent = 0;
  uint32_t LTMBELTIdle0 = 0;
  uint32_t LTMBELTIdle1 = 0;
  uint32_t LTMBELTActive0 = 0;
  uint32_t LTMBELTActive1 = 0;
  uint32_t LTMBELTInActive0 = 0;
  uint32_t LTMBELTInActive1 = 0;

  // [CommonTestBusConfig]
  uint32_t CommonTestBusIn = 0;
  int32_t CommonTestBusInPresent = 0;

  // [USBTestConfig]
  uint32_t USB3PllTestBusIn = 0;  // at most 0xFFFF
  int32_t USB3PllTestBusInPresent = 0;
  uint32_t USB2AFETestBusIn = 0;  // at most 0xFF
  int32_t USB2AFETestBusInPresent = 0;
  uint32_t USB3AFETestBusIn0 = 0;
  int32_t USB3AFETestBusIn0Present = 0;
  uint32_t USB3AFETestBusIn1 = 0;
  int32_t USB3AFETestBusIn1Present = 0;

  // [USB2ExtensionConfig]
  uint32_t USB2ExtAttributes = 0;  // bit 1 (0x2) is the LPM bit
  int32_t USB2ExtAttributesPresent = 0;

  // [USB3ExtensionConfig]
  uint32_t SpeedsSupported = 0;  // at most 0xF
  int32_t SpeedsSupportedPresent = 0;
  uint32_t FunctionalitySupport = 0;  // at most 0xF
  int32_t FunctionalitySupportPresent = 0;
  uint32_t U1DevExitLatency = 0;  // at most 0xF
  int32_t U1DevExitLatencyPresent = 0;
  uint32_t U2DevExitLatency = 0;  // at most 0xFFF
  int32_t U2DevExitLatencyPresent = 0;
};
