// head_fields.cpp - the head's field table and the reading and writing of one field.
#include "format/head_fields.h"

#include <array>
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
constexpr HeadFieldRow Inverted(HeadFieldRow row) {
  row.inverted = true;
  return row;
}
constexpr HeadFieldRow Power(const char* name, int offset, const char* key, int unit) {
  return {.name = name, .offset = offset, .show = FieldShow::kPower, .key = key, .unit = unit};
}

// The fields up to the descriptors, in layout order.
constexpr HeadFieldRow kControllerRows[] = {
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
    Inverted(Gpio("GPIOEnable", 0x4E)),
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
};

// The fields of one speed's device descriptor and configuration, in SpeedField order.
constexpr std::array<HeadFieldRow, kSpeedFieldCount> SpeedRows(const SpeedLayout& speed) {
  const int device = speed.device;
  const int configuration = speed.configuration;
  std::array<HeadFieldRow, kSpeedFieldCount> rows{};
  const auto set = [&rows](SpeedField field, const HeadFieldRow& row) {
    rows[static_cast<size_t>(field)] = row;
  };
  set(SpeedField::kVendorId, Hex("VendorID", device + 8, 2, "VendorID"));
  set(SpeedField::kProductId, Hex("ProductID", device + 10, 2, "ProductID"));
  set(SpeedField::kBcdDevice, Hex("bcdDevice", device + 12, 2, "BcdDevice"));
  set(SpeedField::kManufacturerIndex, Decimal("iManufacturer", device + 14));
  set(SpeedField::kProductIndex, Decimal("iProduct", device + 15));
  set(SpeedField::kSerialNumberIndex, Decimal("iSerialNumber", device + 16));
  set(SpeedField::kConfigurations, Decimal("NumConfigurations", device + 17, nullptr, 1));
  set(SpeedField::kConfigurationIndex, Decimal("iConfiguration", configuration + 6));
  set(SpeedField::kAttributes, Hex("ConfigurationAttributes", configuration + 7, 1));
  set(SpeedField::kMaxPower,
      Power("MaxPower", configuration + 8, speed.power_key, speed.power_unit));
  set(SpeedField::kInterfaceIndex, Decimal("iInterface", configuration + 17));
  for (HeadFieldRow& row : rows) row.prefix = speed.field_prefix;
  return rows;
}

constexpr auto kRows = [] {
  std::array<HeadFieldRow, static_cast<size_t>(HeadField::kCount)> rows{};
  size_t next = 0;
  for (const HeadFieldRow& row : kControllerRows) rows[next++] = row;
  for (const SpeedLayout& speed : kSpeedLayouts) {
    for (const HeadFieldRow& row : SpeedRows(speed)) rows[next++] = row;
  }
  return rows;
}();
static_assert(std::size(kControllerRows) == static_cast<size_t>(HeadField::kFirstSpeedField));

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

HeadField StringIndexField(int speed, int slot) {
  constexpr SpeedField kIndexFields[kStringCount] = {
      SpeedField::kManufacturerIndex, SpeedField::kProductIndex, SpeedField::kSerialNumberIndex,
      SpeedField::kConfigurationIndex, SpeedField::kInterfaceIndex};
  return FieldOfSpeed(speed, kIndexFields[slot]);
}

uint32_t DerivedConfigFlags0(int32_t suspend_select, int32_t polarity, bool remote_wakeup,
                             bool self_power) {
  uint32_t flags = (RowOf(HeadField::kConfigFlags0).absent & ~uint32_t{0xFF}) | kFlags0Lpm;
  if (remote_wakeup) flags |= kFlags0RemoteWakeup;
  if (self_power) flags |= kFlags0SelfPower;
  flags |= static_cast<uint32_t>(suspend_select & 3) << kFlags0SuspendSelectShift;
  if ((polarity & 1) != 0) flags |= kFlags0SwModePolarity;
  return flags;
}
