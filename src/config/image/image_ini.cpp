// image_ini.cpp - writing the INI sections back from an image. The builder's rules run
// backwards: a default value is left out, a derived byte is checked against what it derives from,
// and a value beyond what its key accepts is an obstacle.
#include "config/image/image_ini.h"

#include "config/image/filter_pattern.h"

namespace {

// FilterMaskPattern's line holds at most 256 characters: "FilterMaskPattern = " and "XX "
// pairs leave room for this many bytes.
constexpr int kMaxPatternBytesOnALine = 78;
constexpr uint32_t kConfigFlagsDefaults[6] = {0, 0x00016780, 0, 0x001E000A, 0, 0x4F008031};
constexpr int kConfigFlagsOffsets[6] = {0x13, 0x17, 0x1B, 0x1F, 0x5A, 0x5E};

class IniWriter {
 public:
  explicit IniWriter(std::vector<std::string>* obstacles) : obstacles_(obstacles) {}

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
  void Obstacle(bool failed, const std::string& why) {
    if (failed) obstacles_->push_back(why);
  }
  // A value of 12 GPIO bits, as [GPIOConfig] takes it.
  void Gpio(const char* key, uint32_t value) {
    Obstacle(value > 0xFFF, FormatText("%s 0x%04X uses bits above GPIO 11", key, value));
    Hex(key, value & 0xFFF, 3);
  }
  const std::string& text() const { return text_; }

 private:
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

void WriteIdentity(const DecodedImage& d, IniWriter& w) {
  w.Section("[MacAddress]");
  w.Key("CurrentMacAddress", FormatText("%02X:%02X:%02X:%02X:%02X:%02X", d.At(1), d.At(2), d.At(3),
                                        d.At(4), d.At(5), d.At(6)));
  // The image holds no range: allow stepping through the rest of this address block.
  w.Key("MaximumMacAddress",
        FormatText("%02X:%02X:%02X:FF:FF:FF", d.At(1) & 0xFE, d.At(2), d.At(3)));
  w.Decimal("MacAddressIncrement", 1);

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

  w.Section("[ID]");
  const uint32_t vendor = d.Le(0x80, 2);
  w.Obstacle(vendor == 0, "the vendor ID is 0");
  w.Hex("VendorID", vendor, 4);
  w.Hex("ProductID", d.Le(0x82, 2), 4);
  // The image keeps the two lowest BcdDevice digits, in the high byte of bcdDevice.
  const uint32_t bcd = d.Le(0x84, 2);
  w.Obstacle((bcd & 0xFF) != 0 || (bcd >> 12) > 9 || ((bcd >> 8) & 0xF) > 9,
             FormatText("bcdDevice 0x%04X is no BcdDevice value shifted left by 8", bcd));
  w.Key("BcdDevice", FormatText("%02X", bcd >> 8));

  w.Section("[Power]");
  w.Obstacle(d.At(0xB6) > 250, "HSMaxPower would exceed 500 mA");
  w.Obstacle(d.At(0x92) > 112, "SSMaxPower would exceed 896 mA");
  w.Decimal("HSMaxPower", 2 * d.At(0xB6));
  w.Decimal("SSMaxPower", 8 * d.At(0x92));
}

void WriteBits(IniWriter& w, const char* section, const DecodedImage& d, int offset,
               const char* const* keys, const int* bits, int count) {
  w.Section(section);
  for (int i = 0; i < count; ++i) w.Decimal(keys[i], (d.At(offset) >> bits[i]) & 1);
}

void WriteHardware(const DecodedImage& d, IniWriter& w) {
  static const char* const kPme0[] = {
      "GPIOPMEEnable",  "GPIOPMEConfiguration", "GPIOPMELength",        "GPIOPMEPolarity",
      "GPIOBufferType", "GPIOPMEWOLSelect",     "PMEMagicPacketEnable", "PMEPerfectDAEnable"};
  static const int kPme0Bits[] = {7, 6, 5, 4, 3, 2, 1, 0};
  static const char* const kPme1[] = {"GPIOConnectBufferType", "GPIOConnectEnable",
                                      "GPIOConnectPolarity", "PMEWUFFEnable"};
  static const int kPme1Bits[] = {6, 5, 4, 0};
  static const char* const kLed0[] = {"LED3Enable", "LED2Enable", "LED1Enable", "LED0Enable"};
  static const int kLed0Bits[] = {3, 2, 1, 0};
  WriteBits(w, "[GPIOPME0]", d, 0x09, kPme0, kPme0Bits, 8);
  WriteBits(w, "[GPIOPME1]", d, 0x0A, kPme1, kPme1Bits, 4);
  WriteBits(w, "[LEDConfig0]", d, 0x0B, kLed0, kLed0Bits, 4);
  w.Section("[LEDConfig1]");
  w.Decimal("LED1Function", d.At(0x0C) >> 4);
  w.Decimal("LED0Function", d.At(0x0C) & 0xF);
  w.Section("[LEDConfig2]");
  w.Decimal("LED3Function", d.At(0x0D) >> 4);
  w.Decimal("LED2Function", d.At(0x0D) & 0xF);
  w.Section("[LEDBehaviorConfig]");
  w.Hex("LEDBehavior", d.Le(0x58, 2), 4);

  w.Section("[GPIOConfig]");
  const uint32_t enable = static_cast<uint16_t>(~d.Le(0x4E, 2));
  const uint32_t direction = d.Le(0x4A, 2);
  const uint32_t wake = d.Le(0x07, 2);
  w.Gpio("GPIOEnable", enable);
  w.Gpio("GPIOBuffer", d.Le(0x4C, 2));
  w.Gpio("GPIODirection", direction);
  w.Gpio("GPIOData", d.Le(0x48, 2));
  w.Gpio("GPIOWake", wake);
  w.Gpio("GPIOWakePolarity", d.Le(0x0E, 2));
  w.Obstacle((wake & 0xFFF & (~enable | direction)) != 0,
             "a GPIO may wake but is not an enabled input, which the INI check refuses");

  w.Section("[InterruptPollInterval]");
  w.Obstacle(d.At(0x10) == 0, "FSPollInterval is 0");
  w.Obstacle(d.At(0x11) == 0 || d.At(0x11) > 16, "HSPollInterval is outside 1 to 16");
  w.Obstacle(d.At(0x12) == 0 || d.At(0x12) > 16, "SSPollInterval is outside 1 to 16");
  w.Decimal("FSPollInterval", d.At(0x10));
  w.Decimal("HSPollInterval", d.At(0x11));
  w.Decimal("SSPollInterval", d.At(0x12));
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
  w.Obstacle((d.At(block.offset + 3) & 3) == 3, "FilterAddressType 3 is outside 0 to 2");
  w.Decimal("FilterAddressType", d.At(block.offset + 3) & 3);
  w.Decimal("FilterPatternOffset", d.At(block.offset + 2));
  uint8_t mask[kFilterMaskBytes];
  for (int k = 0; k < kFilterMaskBytes; ++k) mask[k] = d.At(block.offset + 4 + k);
  const std::optional<FilterPattern> pattern =
      FindFilterPattern(mask, static_cast<uint16_t>(d.Le(block.offset, 2)));
  int last = 0;  // one pair at least: an empty value counts as a missing key
  if (pattern) {
    for (int i = 0; i < static_cast<int>(kFilterMaskPatternMaxBytes); ++i) {
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

// Configuration flags 0 as its four keys when the bytes are what they derive, else whole.
void WriteConfigFlags0(const DecodedImage& d, IniWriter& w) {
  w.Section("[ConfigFlags0]");
  const int remote_wakeup = (d.At(0x91) >> 5) & 1;
  const int self_power = (d.At(0x91) >> 6) & 1;
  const bool plain_bytes = d.At(0x13) == (0x04 | remote_wakeup << 1 | self_power) &&
                           d.At(0x14) == 0x80 && d.At(0x16) == 0x07;
  for (int select = 0; plain_bytes && select < 4; ++select) {
    for (int polarity = 0; polarity < 2; ++polarity) {
      uint8_t byte = select != 0 ? static_cast<uint8_t>(0xD1 | select << 2) : 0xD1;
      if (polarity != 0) byte |= 0x02;
      if (byte != d.At(0x15)) continue;
      w.Decimal("SWModeSuspendNSelect", select);
      w.Decimal("SWModePolarity", polarity);
      w.Decimal("RemoteWakeupEnable", remote_wakeup);
      w.Decimal("SelfPower", self_power);
      return;
    }
  }
  w.Hex("ConfigFlags0Override", d.Le(0x13, 4), 8);
  w.Decimal("RemoteWakeupEnable", remote_wakeup);
  w.Decimal("SelfPower", self_power);
}

void WriteOptional(const DecodedImage& d, IniWriter& w) {
  for (int word = 1; word < 6; ++word) {
    const uint32_t value = d.Le(kConfigFlagsOffsets[word], 4);
    if (value == kConfigFlagsDefaults[word]) continue;
    const std::string section = FormatText("[ConfigFlags%d]", word);
    const std::string key = FormatText("ConfigFlags%dOverride", word);
    w.Section(section.c_str());
    w.Hex(key.c_str(), value, 8);
  }
  if (d.form == ImageForm::kOtpLowerHalf || d.form == ImageForm::kOtpUpperHalf) {
    w.Section("[OtpConfig]");
    w.Hex("OtpSignature", d.At(0), 2);
  }
  const DecodedBlock& ltm = d.blocks[kLtmBeltBlock];
  if (ltm.present && ltm.inside) {
    static const char* const kKeys[6] = {"LTMBELTIdle0",   "LTMBELTIdle1",     "LTMBELTActive0",
                                         "LTMBELTActive1", "LTMBELTInActive0", "LTMBELTInActive1"};
    w.Section("[LTMBELTConfig]");
    for (int i = 0; i < 6; ++i) w.Hex(kKeys[i], d.Le(ltm.offset + 4 * i, 4), 8);
  }
  const DecodedBlock& bus = d.blocks[kTestBusBlock];
  if (bus.present && bus.inside) {
    w.Section("[CommonTestBusConfig]");
    w.Hex("CommonTestBusIn", d.Le(bus.offset, 4), 8);
  }
  w.Section("[USBTestConfig]");
  if (d.Le(0x43, 2) != 0) w.Hex("USB3PllTestBusIn", d.Le(0x43, 2), 4);
  if (d.At(0x45) != 0) w.Hex("USB2AFETestBusIn", d.At(0x45), 2);
  if (d.Le(0x50, 4) != 0) w.Hex("USB3AFETestBusIn0", d.Le(0x50, 4), 8);
  if (d.Le(0x54, 4) != 0) w.Hex("USB3AFETestBusIn1", d.Le(0x54, 4), 8);

  // The builder sets the LPM bits (mask 0x6) itself; the rest of the default is 0x108.
  const uint32_t usb2 = d.Le(0x6A, 4);
  if ((usb2 & ~uint32_t{0x6}) != 0x108) {
    w.Section("[USB2ExtensionConfig]");
    w.Hex("USB2ExtAttributes", usb2, 8);
  }
  w.Section("[USB3ExtensionConfig]");
  const uint32_t speeds = d.Le(0x72, 2);
  const uint32_t u2 = d.Le(0x76, 2);
  w.Obstacle(speeds > 0xF, "SpeedsSupported uses more than 4 bits");
  w.Obstacle(d.At(0x74) > 0xF || d.At(0x75) > 0xF,
             "FunctionalitySupport or U1DevExitLatency uses more than 4 bits");
  w.Obstacle(u2 > 0xFFF, "U2DevExitLatency uses more than 12 bits");
  if (speeds != 0x0E) w.Hex("SpeedsSupported", speeds & 0xF, 1);
  if (d.At(0x74) != 0x01) w.Hex("FunctionalitySupport", d.At(0x74) & 0xF, 1);
  if (d.At(0x75) != 0x0A) w.Hex("U1DevExitLatency", d.At(0x75) & 0xF, 1);
  if (u2 != 0x5DC) w.Hex("U2DevExitLatency", u2 & 0xFFF, 3);
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

std::string ImageIniText(const DecodedImage& decoded, std::vector<std::string>* obstacles) {
  for (const std::string& problem : decoded.problems) obstacles->push_back(problem);
  IniWriter writer(obstacles);
  WriteIdentity(decoded, writer);
  WriteHardware(decoded, writer);
  WriteWakeFilter(decoded, writer);
  WriteConfigFlags0(decoded, writer);
  WriteOptional(decoded, writer);
  CheckPacking(decoded, writer);
  return writer.text();
}
