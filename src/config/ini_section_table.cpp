// ini_section_table.cpp - the section table: each INI header with its handler, and the key rows
// of the sections that share a table-driven handler.
#include <algorithm>
#include <array>

#include "config/ini_section.h"

namespace {

using S = DeviceSettings;
using I = IniState;

// [GPIOPME0], [GPIOPME1], [LEDConfig0]: one-digit enables, 0 or 1.
constexpr DigitFamily kEnableFamily = {
    .max_digits = 1,
    .max_value = 1,
    .format_message = "Invalid %s (range 0-1)\n",
    .missing_message = "The field %s is missing\n",
    .range_message = "Invalid value for %s (range 0-1)\n",
    .all_missing_first = false,
};

// [LEDConfig1], [LEDConfig2]: LED functions, 0 to 15.
constexpr DigitFamily kLedFunctionFamily = {
    .max_digits = 2,
    .max_value = 15,
    .format_message = "Invalid %s or out of range\n",
    .missing_message = "The field %s is missing\n",
    .range_message = "%s cannot be greater than 15\n",
    .all_missing_first = true,
};

#define QNT_DIGIT_KEY(name) \
  DigitKeyRow { .key = #name, .field = &S::name, .state = &I::name }

constexpr std::array kGpioPme0Keys = {
    QNT_DIGIT_KEY(GPIOPMEEnable),        QNT_DIGIT_KEY(GPIOPMEConfiguration),
    QNT_DIGIT_KEY(GPIOPMELength),        QNT_DIGIT_KEY(GPIOPMEPolarity),
    QNT_DIGIT_KEY(GPIOBufferType),       QNT_DIGIT_KEY(GPIOPMEWOLSelect),
    QNT_DIGIT_KEY(PMEMagicPacketEnable), QNT_DIGIT_KEY(PMEPerfectDAEnable),
};
constexpr std::array kGpioPme1Keys = {
    QNT_DIGIT_KEY(GPIOConnectBufferType),
    QNT_DIGIT_KEY(GPIOConnectEnable),
    QNT_DIGIT_KEY(GPIOConnectPolarity),
    QNT_DIGIT_KEY(PMEWUFFEnable),
};
constexpr std::array kLedConfig0Keys = {
    QNT_DIGIT_KEY(LED3Enable),
    QNT_DIGIT_KEY(LED2Enable),
    QNT_DIGIT_KEY(LED1Enable),
    QNT_DIGIT_KEY(LED0Enable),
};
constexpr std::array kLedConfig1Keys = {QNT_DIGIT_KEY(LED1Function), QNT_DIGIT_KEY(LED0Function)};
constexpr std::array kLedConfig2Keys = {QNT_DIGIT_KEY(LED3Function), QNT_DIGIT_KEY(LED2Function)};

#undef QNT_DIGIT_KEY

// Required hexadecimal keys, reported when missing.
#define QNT_GPIO_KEY(name)                                                                       \
  HexKeyRow {                                                                                    \
    .key = #name, .max_length = 5,                                                               \
    .format_message = "Invalid " #name ", should be in the form '0xFFF'\n", .field16 = &S::name, \
    .state = &I::name                                                                            \
  }

constexpr std::array kGpioConfigKeys = {
    QNT_GPIO_KEY(GPIOEnable), QNT_GPIO_KEY(GPIOBuffer), QNT_GPIO_KEY(GPIODirection),
    QNT_GPIO_KEY(GPIOData),   QNT_GPIO_KEY(GPIOWake),   QNT_GPIO_KEY(GPIOWakePolarity),
};

#undef QNT_GPIO_KEY

constexpr std::array kLedBehaviorKeys = {
    HexKeyRow{.key = "LEDBehavior",
              .max_length = 6,
              .format_message = "Invalid LEDBehavior, should be in the form '0xFFFF'\n",
              .field32 = &S::LEDBehavior,
              .state = &I::LEDBehavior},
};

// Optional values: a value and the presence field that tells the image builders to use it.
#define QNT_OPTIONAL_KEY(name, length, form, present_field)                        \
  HexKeyRow {                                                                      \
    .key = #name, .max_length = (length), .format_message = "Invalid " #name form, \
    .field32 = &S::name, .present = &S::present_field                              \
  }
#define QNT_FLAGS_KEY(name) \
  QNT_OPTIONAL_KEY(name, 10, ", should be in the form '0xFFFFFFFF'\n", name##Present)
#define QNT_BELT_KEY(name) \
  QNT_OPTIONAL_KEY(name, 10, ", should be in the '0xFFFFFFFF' format\n", LTMBELTPresent)

constexpr std::array kConfigFlags1Keys = {QNT_FLAGS_KEY(ConfigFlags1Override)};
constexpr std::array kConfigFlags2Keys = {QNT_FLAGS_KEY(ConfigFlags2Override)};
constexpr std::array kConfigFlags3Keys = {QNT_FLAGS_KEY(ConfigFlags3Override)};
constexpr std::array kConfigFlags4Keys = {QNT_FLAGS_KEY(ConfigFlags4Override)};
constexpr std::array kConfigFlags5Keys = {QNT_FLAGS_KEY(ConfigFlags5Override)};

// OtpSignature has no presence field: 0 means not given.
constexpr std::array kOtpConfigKeys = {
    HexKeyRow{.key = "OtpSignature",
              .max_length = 6,
              .format_message = "Invalid OtpSignature, should be '0xF3' or '0xF7'\n",
              .field32 = &S::OtpSignature},
};

constexpr std::array kLtmBeltKeys = {
    QNT_BELT_KEY(LTMBELTIdle0),   QNT_BELT_KEY(LTMBELTIdle1),     QNT_BELT_KEY(LTMBELTActive0),
    QNT_BELT_KEY(LTMBELTActive1), QNT_BELT_KEY(LTMBELTInActive0), QNT_BELT_KEY(LTMBELTInActive1),
};

constexpr std::array kCommonTestBusKeys = {
    QNT_OPTIONAL_KEY(CommonTestBusIn, 10, ", should be in the '0xFFFFFFFF' format\n",
                     CommonTestBusInPresent),
};

constexpr std::array kUsbTestKeys = {
    QNT_OPTIONAL_KEY(USB3PllTestBusIn, 6, ", should be in the '0x0000' format\n",
                     USB3PllTestBusInPresent),
    QNT_OPTIONAL_KEY(USB2AFETestBusIn, 4, ", should be in the '0x00' format\n",
                     USB2AFETestBusInPresent),
    QNT_OPTIONAL_KEY(USB3AFETestBusIn0, 10, ", should be in the '0x00000000' format\n",
                     USB3AFETestBusIn0Present),
    QNT_OPTIONAL_KEY(USB3AFETestBusIn1, 10, ", should be in the '0x00000000' format\n",
                     USB3AFETestBusIn1Present),
};

// Eight digits are accepted although the message shows two.
constexpr std::array kUsb2ExtensionKeys = {
    QNT_OPTIONAL_KEY(USB2ExtAttributes, 10, ", should be in the '0x00' format\n",
                     USB2ExtAttributesPresent),
};

constexpr std::array kUsb3ExtensionKeys = {
    QNT_OPTIONAL_KEY(SpeedsSupported, 3, ", should be in the '0x0' format\n",
                     SpeedsSupportedPresent),
    QNT_OPTIONAL_KEY(FunctionalitySupport, 3, ", should be in the '0x0' format\n",
                     FunctionalitySupportPresent),
    QNT_OPTIONAL_KEY(U1DevExitLatency, 3, ", should be in the '0x0' format\n",
                     U1DevExitLatencyPresent),
    QNT_OPTIONAL_KEY(U2DevExitLatency, 5, ", should be in the '0x000' format\n",
                     U2DevExitLatencyPresent),
};

#undef QNT_BELT_KEY
#undef QNT_FLAGS_KEY
#undef QNT_OPTIONAL_KEY

// Headers are compared whole and case-sensitively. The rows with a section-present flag are the
// required sections, in the order their absence is reported.
constexpr std::array kSections = {
    IniSectionEntry{.name = "[MacAddress]",
                    .handler = HandleMacAddress,
                    .present = &I::MacAddressSectionPresent},
    IniSectionEntry{.name = "[SerialNumber]",
                    .handler = HandleSerialNumber,
                    .present = &I::SerialNumberSectionPresent},
    IniSectionEntry{
        .name = "[String]", .handler = HandleString, .present = &I::StringSectionPresent},
    IniSectionEntry{.name = "[ID]", .handler = HandleId, .present = &I::IDSectionPresent},
    IniSectionEntry{.name = "[Power]", .handler = HandlePower, .present = &I::PowerSectionPresent},
    IniSectionEntry{.name = "[GPIOPME0]",
                    .handler = HandleDigitSection,
                    .digit_family = &kEnableFamily,
                    .digit_keys = kGpioPme0Keys,
                    .present = &I::GPIOPME0SectionPresent},
    IniSectionEntry{.name = "[GPIOPME1]",
                    .handler = HandleDigitSection,
                    .digit_family = &kEnableFamily,
                    .digit_keys = kGpioPme1Keys,
                    .present = &I::GPIOPME1SectionPresent},
    IniSectionEntry{.name = "[LEDConfig0]",
                    .handler = HandleDigitSection,
                    .digit_family = &kEnableFamily,
                    .digit_keys = kLedConfig0Keys,
                    .present = &I::LEDConfig0SectionPresent},
    IniSectionEntry{.name = "[LEDConfig1]",
                    .handler = HandleDigitSection,
                    .digit_family = &kLedFunctionFamily,
                    .digit_keys = kLedConfig1Keys,
                    .present = &I::LEDConfig1SectionPresent},
    IniSectionEntry{.name = "[LEDConfig2]",
                    .handler = HandleDigitSection,
                    .digit_family = &kLedFunctionFamily,
                    .digit_keys = kLedConfig2Keys,
                    .present = &I::LEDConfig2SectionPresent},
    IniSectionEntry{.name = "[LEDBehaviorConfig]",
                    .handler = HandleHexSection,
                    .hex_keys = kLedBehaviorKeys,
                    .present = &I::LEDBehaviorConfigSectionPresent},
    IniSectionEntry{.name = "[GPIOConfig]",
                    .handler = HandleHexSection,
                    .hex_keys = kGpioConfigKeys,
                    .present = &I::GPIOConfigSectionPresent},
    IniSectionEntry{.name = "[ConfigFlags0]",
                    .handler = HandleConfigFlags0,
                    .present = &I::ConfigFlags0SectionPresent},
    IniSectionEntry{.name = "[PMEWUFConfiguration]",
                    .handler = HandlePmeWufConfiguration,
                    .present = &I::PMEWUFConfigurationSectionPresent},
    IniSectionEntry{.name = "[InterruptPollInterval]",
                    .handler = HandleInterruptPollInterval,
                    .present = &I::InterruptPollIntervalSectionPresent},
    IniSectionEntry{
        .name = "[ConfigFlags1]", .handler = HandleHexSection, .hex_keys = kConfigFlags1Keys},
    IniSectionEntry{
        .name = "[ConfigFlags2]", .handler = HandleHexSection, .hex_keys = kConfigFlags2Keys},
    IniSectionEntry{
        .name = "[ConfigFlags3]", .handler = HandleHexSection, .hex_keys = kConfigFlags3Keys},
    IniSectionEntry{
        .name = "[ConfigFlags4]", .handler = HandleHexSection, .hex_keys = kConfigFlags4Keys},
    IniSectionEntry{
        .name = "[ConfigFlags5]", .handler = HandleHexSection, .hex_keys = kConfigFlags5Keys},
    IniSectionEntry{.name = "[OtpConfig]", .handler = HandleOtpConfig, .hex_keys = kOtpConfigKeys},
    IniSectionEntry{
        .name = "[LTMBELTConfig]", .handler = HandleHexSection, .hex_keys = kLtmBeltKeys},
    IniSectionEntry{.name = "[CommonTestBusConfig]",
                    .handler = HandleHexSection,
                    .hex_keys = kCommonTestBusKeys},
    IniSectionEntry{
        .name = "[USBTestConfig]", .handler = HandleHexSection, .hex_keys = kUsbTestKeys},
    IniSectionEntry{.name = "[USB2ExtensionConfig]",
                    .handler = HandleHexSection,
                    .hex_keys = kUsb2ExtensionKeys},
    IniSectionEntry{.name = "[USB3ExtensionConfig]",
                    .handler = HandleHexSection,
                    .hex_keys = kUsb3ExtensionKeys},
};

static_assert(kSections.size() == 26);
static_assert(std::ranges::count_if(kSections, [](const IniSectionEntry& entry) {
                return entry.present != nullptr;
              }) == 15);

}  // namespace

std::span<const IniSectionEntry> IniSectionTable() { return kSections; }
