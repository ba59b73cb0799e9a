// head_fields.cpp - the head's field table and the reading and writing of one field.
#include "format/head_fields.h"

#include <iterator>

namespace {

constexpr HeadFieldRow Flag(const char* name, int offset, int bit) {
  return {.name = name, .offset = offset, .shift = bit, .bits = 1, .key = name};
}
constexpr HeadFieldRow Nibble(const char* name, int offset, int shift) {
  return {.name = name, .offset = offset, .shift = shift, .bits = 4, .key = name};
}
constexpr HeadFieldRow Decimal(const char* name, int offset, const char* key = nullptr,
                               uint32_t absent = 0) {
  return {.name = name, .offset = offset, .key = key, .absent = absent};
}
constexpr HeadFieldRow Hex(const char* name, int offset, int bytes, const char* key = nullptr,
                           uint32_t absent = 0, int key_bits = 0) {
  return {.name = name,
          .offset = offset,
          .bytes = bytes,
          .show = FieldShow::kHex,
          .key = key,
          .key_bits = key_bits,
          .absent = absent};
}
constexpr HeadFieldRow Gpio(const char* name, int offset) {
  return Hex(name, offset, 2, name, 0, 12);
}
constexpr HeadFieldRow Power(const char* name, int offset, const char* key, int unit) {
  return {.name = name, .offset = offset, .show = FieldShow::kPower, .key = key, .unit = unit};
}

constexpr HeadFieldRow kRows[] = {
    {.name = "CurrentMacAddress",
     .offset = kMacAddressOffset,
     .bytes = 6,
     .show = FieldShow::kMacAddress,
     .key = "CurrentMacAddress"},
    Gpio("GPIOWake", 0x07),
    Flag("GPIOPMEEnable", 0x09, 7),
    Flag("GPIOPMEConfiguration", 0x09, 6),
    Flag("GPIOPMELength", 0x09, 5),
    Flag("GPIOPMEPolarity", 0x09, 4),
    Flag("GPIOBufferType", 0x09, 3),
    Flag("GPIOPMEWOLSelect", 0x09, 2),
    Flag("PMEMagicPacketEnable", 0x09, 1),
    Flag("PMEPerfectDAEnable", 0x09, 0),
    Flag("GPIOConnectBufferType", 0x0A, 6),
    Flag("GPIOConnectEnable", 0x0A, 5),
    Flag("GPIOConnectPolarity", 0x0A, 4),
    Flag("PMEWUFFEnable", 0x0A, 0),
    Flag("LED3Enable", 0x0B, 3),
    Flag("LED2Enable", 0x0B, 2),
    Flag("LED1Enable", 0x0B, 1),
    Flag("LED0Enable", 0x0B, 0),
    Nibble("LED1Function", 0x0C, 4),
    Nibble("LED0Function", 0x0C, 0),
    Nibble("LED3Function", 0x0D, 4),
    Nibble("LED2Function", 0x0D, 0),
    Gpio("GPIOWakePolarity", 0x0E),
    Decimal("FSPollInterval", 0x10, "FSPollInterval"),
    Decimal("HSPollInterval", 0x11, "HSPollInterval"),
    Decimal("SSPollInterval", 0x12, "SSPollInterval"),
    Hex("ConfigFlags0", 0x13, 4, "ConfigFlags0Override", 0x07D18007),
    Hex("ConfigFlags1", 0x17, 4, "ConfigFlags1Override", 0x00016780),
    Hex("ConfigFlags2", 0x1B, 4, "ConfigFlags2Override", 0),
    Hex("ConfigFlags3", 0x1F, 4, "ConfigFlags3Override", 0x001E000A),
    Hex("LanguageID", 0x23, 2, nullptr, 0x0409),
    Hex("USB3PllTestBusIn", 0x43, 2, "USB3PllTestBusIn"),
    Hex("USB2AFETestBusIn", 0x45, 1, "USB2AFETestBusIn"),
    Gpio("GPIOData", 0x48),
    Gpio("GPIODirection", 0x4A),
    Gpio("GPIOBuffer", 0x4C),
    {.name = "GPIOEnable",
     .offset = 0x4E,
     .bytes = 2,
     .show = FieldShow::kHex,
     .key = "GPIOEnable",
     .key_bits = 12,
     .inverted = true},
    Hex("USB3AFETestBusIn0", 0x50, 4, "USB3AFETestBusIn0"),
    Hex("USB3AFETestBusIn1", 0x54, 4, "USB3AFETestBusIn1"),
    Hex("LEDBehavior", 0x58, 2, "LEDBehavior"),
    Hex("ConfigFlags4", 0x5A, 4, "ConfigFlags4Override", 0),
    Hex("ConfigFlags5", 0x5E, 4, "ConfigFlags5Override", 0x4F008031),
    Hex("USB2ExtAttributes", 0x6A, 4, "USB2ExtAttributes", 0x0000010E),
    Hex("SuperSpeedAttributes", 0x71, 1),
    Hex("SpeedsSupported", 0x72, 2, "SpeedsSupported", 0x000E, 4),
    Hex("FunctionalitySupport", 0x74, 1, "FunctionalitySupport", 0x01, 4),
    Hex("U1DevExitLatency", 0x75, 1, "U1DevExitLatency", 0x0A, 4),
    Hex("U2DevExitLatency", 0x76, 2, "U2DevExitLatency", 0x05DC, 12),
    Hex("SuperSpeed.VendorID", 0x80, 2, "VendorID"),
    Hex("SuperSpeed.ProductID", 0x82, 2, "ProductID"),
    Hex("SuperSpeed.bcdDevice", 0x84, 2, "BcdDevice"),
    Decimal("SuperSpeed.iManufacturer", 0x86),
    Decimal("SuperSpeed.iProduct", 0x87),
    Decimal("SuperSpeed.iSerialNumber", 0x88),
    Decimal("SuperSpeed.NumConfigurations", 0x89, nullptr, 1),
    Decimal("SuperSpeed.iConfiguration", 0x90),
    Hex("SuperSpeed.ConfigurationAttributes", 0x91, 1),
    Power("SuperSpeed.MaxPower", 0x92, "SSMaxPower", 8),
    Decimal("SuperSpeed.iInterface", 0x9B),
    Hex("HighSpeed.VendorID", 0xA4, 2, "VendorID"),
    Hex("HighSpeed.ProductID", 0xA6, 2, "ProductID"),
    Hex("HighSpeed.bcdDevice", 0xA8, 2, "BcdDevice"),
    Decimal("HighSpeed.iManufacturer", 0xAA),
    Decimal("HighSpeed.iProduct", 0xAB),
    Decimal("HighSpeed.iSerialNumber", 0xAC),
    Decimal("HighSpeed.NumConfigurations", 0xAD, nullptr, 1),
    Decimal("HighSpeed.iConfiguration", 0xB4),
    Hex("HighSpeed.ConfigurationAttributes", 0xB5, 1),
    Power("HighSpeed.MaxPower", 0xB6, "HSMaxPower", 2),
    Decimal("HighSpeed.iInterface", 0xBF),
};
static_assert(std::size(kRows) == static_cast<size_t>(HeadField::kCount));

uint32_t WidthMask(int bits) { return bits >= 32 ? ~uint32_t{0} : (uint32_t{1} << bits) - 1; }

// The mask of the field's value, before it is shifted into place.
uint32_t ValueMask(const HeadFieldRow& row) {
  return WidthMask(row.bits != 0 ? row.bits : 8 * row.bytes);
}

}  // namespace

const HeadFieldRow& RowOf(HeadField field) { return kRows[static_cast<int>(field)]; }

uint32_t HeadFieldValue(HeadField field, uint32_t stored) {
  const HeadFieldRow& row = RowOf(field);
  const uint32_t value = row.inverted ? ~stored : stored;
  return value >> row.shift & ValueMask(row);
}

void PutHeadField(uint8_t* image, HeadField field, uint32_t value) {
  const HeadFieldRow& row = RowOf(field);
  if (row.bits != 0) {
    const uint32_t mask = ValueMask(row);
    const uint32_t bits = row.bits == 1 ? (value != 0 ? 1 : 0) : value & mask;
    image[row.offset] =
        static_cast<uint8_t>((image[row.offset] & ~(mask << row.shift)) | bits << row.shift);
    return;
  }
  const uint32_t stored = row.inverted ? ~value : value;
  for (int i = 0; i < row.bytes; ++i) image[row.offset + i] = static_cast<uint8_t>(stored >> 8 * i);
}

uint32_t KeyMask(HeadField field) {
  const HeadFieldRow& row = RowOf(field);
  return row.key_bits != 0 ? WidthMask(row.key_bits) : ValueMask(row);
}

int KeyDigits(HeadField field) {
  const HeadFieldRow& row = RowOf(field);
  const int bits = row.key_bits != 0 ? row.key_bits : 8 * row.bytes;
  return (bits + 3) / 4;
}

const SpeedFields kSuperSpeedFields = {
    .vendor_id = HeadField::kSsVendorId,
    .product_id = HeadField::kSsProductId,
    .bcd_device = HeadField::kSsBcdDevice,
    .configurations = HeadField::kSsConfigurations,
    .attributes = HeadField::kSsAttributes,
    .max_power = HeadField::kSsMaxPower,
    .string_index = {HeadField::kSsManufacturerIndex, HeadField::kSsProductIndex,
                     HeadField::kSsSerialNumberIndex, HeadField::kSsConfigurationIndex,
                     HeadField::kSsInterfaceIndex},
};
const SpeedFields kHighSpeedFields = {
    .vendor_id = HeadField::kHsVendorId,
    .product_id = HeadField::kHsProductId,
    .bcd_device = HeadField::kHsBcdDevice,
    .configurations = HeadField::kHsConfigurations,
    .attributes = HeadField::kHsAttributes,
    .max_power = HeadField::kHsMaxPower,
    .string_index = {HeadField::kHsManufacturerIndex, HeadField::kHsProductIndex,
                     HeadField::kHsSerialNumberIndex, HeadField::kHsConfigurationIndex,
                     HeadField::kHsInterfaceIndex},
};

uint32_t DerivedConfigFlags0(int32_t suspend_select, int32_t polarity, bool remote_wakeup,
                             bool self_power) {
  uint32_t flags = (RowOf(HeadField::kConfigFlags0).absent & ~uint32_t{0xFF}) | kFlags0Lpm;
  if (remote_wakeup) flags |= kFlags0RemoteWakeup;
  if (self_power) flags |= kFlags0SelfPower;
  flags |= static_cast<uint32_t>(suspend_select & 3) << kFlags0SuspendSelectShift;
  if ((polarity & 1) != 0) flags |= kFlags0SwModePolarity;
  return flags;
}
