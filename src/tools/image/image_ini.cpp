// image_ini.cpp - writing the INI sections back from an image. The builder's rules run
// backwards: a default value is left out, a derived byte is checked against what it derives from,
// and a value beyond what its key accepts is an obstacle.
#include "tools/image/image_ini.h"

#include "config/device_settings.h"
#include "format/image_blocks.h"
#include "tools/image/filter_pattern.h"

namespace {

using F = HeadField;

// FilterMaskPattern's line holds at most 256 characters: "FilterMaskPattern = " and "XX "
// pairs leave room for this many bytes.
constexpr int kMaxPatternBytesOnALine = 78;

class IniWriter {
 public:
  IniWriter(const DecodedImage& image, std::vector<std::string>* obstacles)
      : image_(image), obstacles_(obstacles) {}

  // A section is written with its first key, so one left empty is not written at all.
  void Section(const char* name) { section_ = name; }
  void Key(const char* key, const std::string& value) {
    if (!section_.empty()) text_ += (text_.empty() ? "" : "\n") + section_ + "\n";
    section_.clear();
    text_ += std::string(key) + " = " + value + "\n";
  }
  void Decimal(const char* key, int value) { Key(key, std::to_string(value)); }
  void Hex(const char* key, uint32_t value, int digits) {
    Key(key, FormatText("0x%0*X", digits, value));
  }
  // The key of a head field, with the field's value as that key writes it.
  void Decimal(HeadField field) {
    Decimal(RowOf(field).key, static_cast<int>(image_.Field(field)));
  }
  void Hex(HeadField field) {
    Hex(RowOf(field).key, image_.Field(field) & KeyMask(field), KeyDigits(field));
  }
  void Obstacle(bool failed, const std::string& why) {
    if (failed) obstacles_->push_back(why);
  }
  // A value of 12 GPIO bits, as [GPIOConfig] takes it.
  void Gpio(HeadField field) {
    const uint32_t value = image_.Field(field);
    Obstacle(value > KeyMask(field),
             FormatText("%s 0x%04X uses bits above GPIO 11", RowOf(field).key, value));
    Hex(field);
  }
  const std::string& text() const { return text_; }

 private:
  const DecodedImage& image_;
  std::vector<std::string>* obstacles_;
  std::string section_;
  std::string text_;
};

bool UnwritableText(const std::string& text) {
  if (text.empty() || text[0] == ' ' || text[0] == '\t') return true;
  for (const char c : text) {
    if (c == '\0' || c == '\n' || c == '\r') return true;
  }
  return false;
}

void WriteMacAddress(const DecodedImage& d, IniWriter& w) {
  w.Section("[MacAddress]");
  const MacAddress mac = d.Mac();
  w.Key("CurrentMacAddress", MacAddressText(mac));
  // The image holds no range: allow stepping through the rest of this address block.
  const MacAddress maximum = {
      static_cast<uint8_t>(mac[0] & 0xFE), mac[1], mac[2], 0xFF, 0xFF, 0xFF};
  w.Key("MaximumMacAddress", MacAddressText(maximum));
  w.Decimal("MacAddressIncrement", 1);
}

void WriteStrings(const DecodedImage& d, IniWriter& w) {
  const DecodedString& serial = d.strings[kSerialNumberSlot];
  w.Obstacle(!serial.present, "the image has no serial number; an INI file always gives one");
  w.Obstacle(serial.present && (serial.text.size() > kSerialNumberMaxChars ||
                                serial.text.find_first_of(" \t") != std::string::npos ||
                                UnwritableText(serial.text)),
             "the serial number is no CurrentSerialNumber value (1 to 16 characters, no blanks)");
  const std::string serial_text = serial.present && !serial.text.empty() ? serial.text : "0";
  w.Section("[SerialNumber]");
  w.Key("CurrentSerialNumber", serial_text);
  w.Key("MaximumSerialNumber", std::string(serial_text.size(), 'F'));
  w.Decimal("SerialNumberIncrement", 1);

  w.Section("[String]");
  static const char* const kEnableKeys[kStringCount] = {"ManufacturerEnable", "ProductEnable", "",
                                                        "ConfigurationEnable", "InterfaceEnable"};
  for (int slot = 0; slot < kStringCount; ++slot) {
    if (slot == kSerialNumberSlot) continue;
    const DecodedString& s = d.strings[slot];
    if (s.present) {
      w.Obstacle(UnwritableText(s.text),
                 FormatText("%s %s cannot be written as an INI value", kStringSlotNames[slot],
                            QuoteText(s.text).c_str()));
      w.Key(kStringSlotNames[slot], s.text);
    }
    w.Decimal(kEnableKeys[slot], s.present ? 1 : 0);
  }
}

// The SuperSpeed copy of a descriptor field; the inspector's checks compare the high-speed one.
HeadField Ss(SpeedField field) { return FieldOfSpeed(kSuperSpeed, field); }

void WriteIdAndPower(const DecodedImage& d, IniWriter& w) {
  w.Section("[ID]");
  w.Obstacle(d.Field(Ss(SpeedField::kVendorId)) == 0, "the vendor ID is 0");
  w.Hex(Ss(SpeedField::kVendorId));
  w.Hex(Ss(SpeedField::kProductId));
  // The image keeps the two lowest BcdDevice digits, in the high byte of bcdDevice.
  const HeadField bcd_device = Ss(SpeedField::kBcdDevice);
  const uint32_t bcd = d.Field(bcd_device);
  w.Obstacle((bcd & 0xFF) != 0 || (bcd >> 12) > 9 || ((bcd >> 8) & 0xF) > 9,
             FormatText("bcdDevice 0x%04X is no BcdDevice value shifted left by 8", bcd));
  w.Key(RowOf(bcd_device).key, FormatText("%02X", bcd >> 8));

  w.Section("[Power]");
  const auto milliamperes = [&d](HeadField field) {
    return static_cast<int>(d.Field(field)) * RowOf(field).unit;
  };
  const HeadField hs_power = FieldOfSpeed(kHighSpeed, SpeedField::kMaxPower);
  const HeadField ss_power = Ss(SpeedField::kMaxPower);
  w.Obstacle(milliamperes(hs_power) > 500, "HSMaxPower would exceed 500 mA");
  w.Obstacle(milliamperes(ss_power) > 896, "SSMaxPower would exceed 896 mA");
  w.Decimal(RowOf(hs_power).key, milliamperes(hs_power));
  w.Decimal(RowOf(ss_power).key, milliamperes(ss_power));
}

// The fields from |first| to |last| in table order, each under its own key.
void WriteDecimals(IniWriter& w, const char* section, HeadField first, HeadField last) {
  w.Section(section);
  for (int i = static_cast<int>(first); i <= static_cast<int>(last); ++i) {
    w.Decimal(static_cast<HeadField>(i));
  }
}

void WriteHardware(const DecodedImage& d, IniWriter& w) {
  WriteDecimals(w, "[GPIOPME0]", F::kGpioPmeEnable, F::kPmePerfectDaEnable);
  WriteDecimals(w, "[GPIOPME1]", F::kGpioConnectBufferType, F::kPmeWuffEnable);
  WriteDecimals(w, "[LEDConfig0]", F::kLed3Enable, F::kLed0Enable);
  WriteDecimals(w, "[LEDConfig1]", F::kLed1Function, F::kLed0Function);
  WriteDecimals(w, "[LEDConfig2]", F::kLed3Function, F::kLed2Function);
  w.Section("[LEDBehaviorConfig]");
  w.Hex(F::kLedBehavior);

  w.Section("[GPIOConfig]");
  for (const HeadField field : {F::kGpioEnable, F::kGpioBuffer, F::kGpioDirection, F::kGpioData,
                                F::kGpioWake, F::kGpioWakePolarity}) {
    w.Gpio(field);
  }
  const uint32_t inputs = d.Field(F::kGpioEnable) & ~d.Field(F::kGpioDirection);
  w.Obstacle((d.Field(F::kGpioWake) & KeyMask(F::kGpioWake) & ~inputs) != 0,
             "a GPIO may wake but is not an enabled input, which the INI check refuses");

  const uint32_t fs = d.Field(F::kFsPollInterval);
  const uint32_t hs = d.Field(F::kHsPollInterval);
  const uint32_t ss = d.Field(F::kSsPollInterval);
  w.Obstacle(fs == 0, "FSPollInterval is 0");
  w.Obstacle(hs == 0 || hs > 16, "HSPollInterval is outside 1 to 16");
  w.Obstacle(ss == 0 || ss > 16, "SSPollInterval is outside 1 to 16");
  WriteDecimals(w, "[InterruptPollInterval]", F::kFsPollInterval, F::kSsPollInterval);
}

void WriteWakeFilter(const DecodedImage& d, IniWriter& w) {
  w.Section("[PMEWUFConfiguration]");
  const DecodedBlock& block = d.blocks[kWakeFilterBlock];
  if (!block.present || !block.inside) {
    w.Decimal("FilterAddressType", 0);
    w.Decimal("FilterPatternOffset", 0);
    w.Key("FilterMaskPattern", "00");
    return;
  }
  const int address_type = d.At(block.offset + kFilterControlAt) & kFilterAddressTypeMask;
  w.Obstacle(address_type == 3, "FilterAddressType 3 is outside 0 to 2");
  w.Decimal("FilterAddressType", address_type);
  w.Decimal("FilterPatternOffset", d.At(block.offset + kFilterPatternOffsetAt));
  uint8_t mask[kFilterMaskBytes];
  for (int k = 0; k < kFilterMaskBytes; ++k) mask[k] = d.At(block.offset + kFilterMaskAt + k);
  const std::optional<FilterPattern> pattern =
      FindFilterPattern(mask, static_cast<uint16_t>(d.Le(block.offset + kFilterCrcAt, 2)));
  int last = 0;  // one pair at least: an empty value counts as a missing key
  if (pattern) {
    for (int i = 0; i < static_cast<int>(kFilterPatternBytes); ++i) {
      if ((*pattern)[static_cast<size_t>(i)] != 0) last = i;
    }
  }
  w.Obstacle(last >= kMaxPatternBytesOnALine,
             "the wake-up filter pattern is too long for one INI line");
  std::string text;
  for (int i = 0; i <= last; ++i) {
    text += FormatText(i == 0 ? "%02X" : " %02X", pattern ? (*pattern)[static_cast<size_t>(i)] : 0);
  }
  w.Key("FilterMaskPattern", text);
}

// Configuration flags 0 as its four keys when the word is what they derive, else whole.
void WriteConfigFlags0(const DecodedImage& d, IniWriter& w) {
  w.Section("[ConfigFlags0]");
  const uint32_t attributes = d.Field(Ss(SpeedField::kAttributes));
  const int remote_wakeup = (attributes & kAttributesRemoteWakeup) != 0 ? 1 : 0;
  const int self_power = (attributes & kAttributesSelfPowered) != 0 ? 1 : 0;
  const uint32_t flags0 = d.Field(F::kConfigFlags0);
  for (int select = 0; select < 4; ++select) {
    for (int polarity = 0; polarity < 2; ++polarity) {
      if (flags0 != DerivedConfigFlags0(select, polarity, remote_wakeup != 0, self_power != 0)) {
        continue;
      }
      w.Decimal("SWModeSuspendNSelect", select);
      w.Decimal("SWModePolarity", polarity);
      w.Decimal("RemoteWakeupEnable", remote_wakeup);
      w.Decimal("SelfPower", self_power);
      return;
    }
  }
  w.Hex(F::kConfigFlags0);
  w.Decimal("RemoteWakeupEnable", remote_wakeup);
  w.Decimal("SelfPower", self_power);
}

// A key written only when the image's value is not what the builder gives without it.
void HexUnlessAbsent(const DecodedImage& d, IniWriter& w, HeadField field) {
  if (d.Field(field) != RowOf(field).absent) w.Hex(field);
}

void WriteOptional(const DecodedImage& d, IniWriter& w) {
  int word = 1;
  for (const HeadField field :
       {F::kConfigFlags1, F::kConfigFlags2, F::kConfigFlags3, F::kConfigFlags4, F::kConfigFlags5}) {
    w.Section(FormatText("[ConfigFlags%d]", word++).c_str());
    HexUnlessAbsent(d, w, field);
  }
  if (d.form == ImageForm::kOtpLowerHalf || d.form == ImageForm::kOtpUpperHalf) {
    w.Section("[OtpConfig]");
    w.Hex("OtpSignature", d.At(0), 2);
  }
  const DecodedBlock& ltm = d.blocks[kLtmBeltBlock];
  if (ltm.present && ltm.inside) {
    w.Section("[LTMBELTConfig]");
    for (int i = 0; i < kLtmBeltValues; ++i) w.Hex(kLtmBeltKeys[i], d.Le(ltm.offset + 4 * i, 4), 8);
  }
  const DecodedBlock& bus = d.blocks[kTestBusBlock];
  if (bus.present && bus.inside) {
    w.Section("[CommonTestBusConfig]");
    w.Hex("CommonTestBusIn", d.Le(bus.offset, 4), 8);
  }
  w.Section("[USBTestConfig]");
  for (const HeadField field :
       {F::kUsb3PllTestBusIn, F::kUsb2AfeTestBusIn, F::kUsb3AfeTestBusIn0, F::kUsb3AfeTestBusIn1}) {
    HexUnlessAbsent(d, w, field);
  }

  // The builder sets the LPM bits itself; only the rest of the default counts.
  const HeadField usb2 = F::kUsb2ExtAttributes;
  if ((d.Field(usb2) & ~kUsb2ExtLpmBits) != (RowOf(usb2).absent & ~kUsb2ExtLpmBits)) {
    w.Section("[USB2ExtensionConfig]");
    w.Hex(usb2);
  }
  w.Section("[USB3ExtensionConfig]");
  const auto too_wide = [&d](HeadField field) { return d.Field(field) > KeyMask(field); };
  w.Obstacle(too_wide(F::kSpeedsSupported), "SpeedsSupported uses more than 4 bits");
  w.Obstacle(too_wide(F::kFunctionalitySupport) || too_wide(F::kU1DevExitLatency),
             "FunctionalitySupport or U1DevExitLatency uses more than 4 bits");
  w.Obstacle(too_wide(F::kU2DevExitLatency), "U2DevExitLatency uses more than 12 bits");
  for (const HeadField field : {F::kSpeedsSupported, F::kFunctionalitySupport, F::kU1DevExitLatency,
                                F::kU2DevExitLatency}) {
    HexUnlessAbsent(d, w, field);
  }
}

// The builder packs the strings from the end of the head, then the blocks, without gaps.
void CheckPacking(const DecodedImage& d, IniWriter& w) {
  int next = kImageHeadSize;
  for (int slot = 0; slot < kStringCount; ++slot) {
    const DecodedString& s = d.strings[slot];
    if (!s.present) continue;
    w.Obstacle(s.offset != next || s.length != 2 * static_cast<int>(s.text.size()) + 2,
               FormatText("%s is not where the builder puts it", kStringSlotNames[slot]));
    next = s.offset + s.length;
  }
  for (int index = 0; index < kBlockCount; ++index) {
    const DecodedBlock& b = d.blocks[index];
    if (!b.present) continue;
    w.Obstacle(b.offset != next,
               FormatText("the %s block is not where the builder puts it", kBlockNames[index]));
    next = b.offset + b.length;
  }
}

}  // namespace

std::string ImageIniText(const InspectedImage& inspected, std::vector<std::string>* obstacles) {
  for (const std::string& problem : inspected.problems) obstacles->push_back(problem);
  IniWriter writer(inspected, obstacles);
  WriteMacAddress(inspected, writer);
  WriteStrings(inspected, writer);
  WriteIdAndPower(inspected, writer);
  WriteHardware(inspected, writer);
  WriteWakeFilter(inspected, writer);
  WriteConfigFlags0(inspected, writer);
  WriteOptional(inspected, writer);
  CheckPacking(inspected, writer);
  return writer.text();
}
