// image_fields.cpp - the 192-byte head read back field by field, with the names of the INI keys
// that set each field, and the checks that tie its derived bytes to the values they come from.
#include <cstring>

#include "config/image/image_decode.h"

namespace {

std::string Hex(uint32_t value, int digits) { return FormatText("0x%0*X", digits, value); }

struct BitField {
  const char* name;
  int offset;
  int bit;
};
constexpr BitField kFlagBits[] = {
    {"GPIOPMEEnable", 0x09, 7},
    {"GPIOPMEConfiguration", 0x09, 6},
    {"GPIOPMELength", 0x09, 5},
    {"GPIOPMEPolarity", 0x09, 4},
    {"GPIOBufferType", 0x09, 3},
    {"GPIOPMEWOLSelect", 0x09, 2},
    {"PMEMagicPacketEnable", 0x09, 1},
    {"PMEPerfectDAEnable", 0x09, 0},
    {"GPIOConnectBufferType", 0x0A, 6},
    {"GPIOConnectEnable", 0x0A, 5},
    {"GPIOConnectPolarity", 0x0A, 4},
    {"PMEWUFFEnable", 0x0A, 0},
    {"LED3Enable", 0x0B, 3},
    {"LED2Enable", 0x0B, 2},
    {"LED1Enable", 0x0B, 1},
    {"LED0Enable", 0x0B, 0},
};

// A value of |bytes| little-endian bytes at |offset|, shown in |digits| hexadecimal digits
// (0: decimal).
struct WordField {
  const char* name;
  int offset;
  int bytes;
  int digits;
};
constexpr WordField kWordFieldsBeforeStrings[] = {
    {"GPIOWakePolarity", 0x0E, 2, 4}, {"FSPollInterval", 0x10, 1, 0},
    {"HSPollInterval", 0x11, 1, 0},   {"SSPollInterval", 0x12, 1, 0},
    {"ConfigFlags0", 0x13, 4, 8},     {"ConfigFlags1", 0x17, 4, 8},
    {"ConfigFlags2", 0x1B, 4, 8},     {"ConfigFlags3", 0x1F, 4, 8},
    {"LanguageID", 0x23, 2, 4},
};
constexpr WordField kWordFieldsAfterTables[] = {
    {"USB3PllTestBusIn", 0x43, 2, 4},
    {"USB2AFETestBusIn", 0x45, 1, 2},
    {"GPIOData", 0x48, 2, 4},
    {"GPIODirection", 0x4A, 2, 4},
    {"GPIOBuffer", 0x4C, 2, 4},
    {"GPIOEnable", 0x4E, 2, 4},
    {"USB3AFETestBusIn0", 0x50, 4, 8},
    {"USB3AFETestBusIn1", 0x54, 4, 8},
    {"LEDBehavior", 0x58, 2, 4},
    {"ConfigFlags4", 0x5A, 4, 8},
    {"ConfigFlags5", 0x5E, 4, 8},
    {"USB2ExtAttributes", 0x6A, 4, 8},
    {"SuperSpeedAttributes", 0x71, 1, 2},
    {"SpeedsSupported", 0x72, 2, 4},
    {"FunctionalitySupport", 0x74, 1, 2},
    {"U1DevExitLatency", 0x75, 1, 2},
    {"U2DevExitLatency", 0x76, 2, 4},
};

// Bytes the layout fixes, and the descriptor table (stored word offsets before the bias).
struct FixedPart {
  const char* name;
  int offset;
  uint8_t bytes[8];
  int count;
};
constexpr FixedPart kFixedParts[] = {
    {"BOS descriptor", 0x62, {0x05, 0x0F, 0x16, 0x00, 0x02}, 5},
    {"USB 2.0 Extension capability", 0x67, {0x07, 0x10, 0x02}, 3},
    {"SuperSpeed USB Device capability", 0x6E, {0x0A, 0x10, 0x03}, 3},
    {"SuperSpeed device descriptor", 0x78, {0x12, 0x01, 0x10, 0x03, 0xFF, 0x00, 0xFF, 0x09}, 8},
    {"SuperSpeed configuration descriptor", 0x8A, {0x09, 0x02, 0x39, 0x00, 0x01, 0x01}, 6},
    {"SuperSpeed interface descriptor", 0x93, {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, 8},
    {"high-speed device descriptor", 0x9C, {0x12, 0x01, 0x10, 0x02, 0xFF, 0x00, 0xFF, 0x40}, 8},
    {"high-speed configuration descriptor", 0xAE, {0x09, 0x02, 0x27, 0x00, 0x01, 0x01}, 6},
    {"high-speed interface descriptor", 0xB7, {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF}, 8},
};
constexpr uint8_t kDescriptorTable[7][2] = {{0x16, 0x31}, {0x12, 0x3C}, {0x12, 0x45}, {0x12, 0x4E},
                                            {0x12, 0x57}, {0x12, 0x4E}, {0x12, 0x57}};

void Add(DecodedImage& d, const std::string& name, int offset, int count,
         const std::string& value) {
  d.fields.push_back({name, d.Holds(offset, count) ? value : "beyond the end of the image"});
}

void AddWord(DecodedImage& d, const WordField& f) {
  // GPIOEnable is stored inverted.
  uint32_t value = d.Le(f.offset, f.bytes);
  if (f.offset == 0x4E) value = static_cast<uint16_t>(~value);
  Add(d, f.name, f.offset, f.bytes, f.digits == 0 ? std::to_string(value) : Hex(value, f.digits));
}

const char* FormName(ImageForm form) {
  switch (form) {
    case ImageForm::kEeprom:
      return "EEPROM image";
    case ImageForm::kOtpLowerHalf:
      return "OTP image, lower half";
    case ImageForm::kOtpUpperHalf:
      return "OTP image, upper half (offsets biased by 0x80)";
    case ImageForm::kUnknown:
      break;
  }
  return "no known form";
}

// The variable bytes of one device descriptor and its configuration.
void AddDescriptorPair(DecodedImage& d, const char* prefix, int device, int configuration,
                       int power_unit) {
  const std::string p = prefix;
  Add(d, p + "VendorID", device + 8, 2, Hex(d.Le(device + 8, 2), 4));
  Add(d, p + "ProductID", device + 10, 2, Hex(d.Le(device + 10, 2), 4));
  Add(d, p + "bcdDevice", device + 12, 2, Hex(d.Le(device + 12, 2), 4));
  Add(d, p + "iManufacturer", device + 14, 1, std::to_string(d.At(device + 14)));
  Add(d, p + "iProduct", device + 15, 1, std::to_string(d.At(device + 15)));
  Add(d, p + "iSerialNumber", device + 16, 1, std::to_string(d.At(device + 16)));
  Add(d, p + "NumConfigurations", device + 17, 1, std::to_string(d.At(device + 17)));
  Add(d, p + "iConfiguration", configuration + 6, 1, std::to_string(d.At(configuration + 6)));
  Add(d, p + "ConfigurationAttributes", configuration + 7, 1, Hex(d.At(configuration + 7), 2));
  Add(d, p + "MaxPower", configuration + 8, 1,
      FormatText("%d (%d mA)", d.At(configuration + 8), d.At(configuration + 8) * power_unit));
  Add(d, p + "iInterface", configuration + 17, 1, std::to_string(d.At(configuration + 17)));
}

void CheckFixedParts(DecodedImage& d) {
  for (const FixedPart& part : kFixedParts) {
    if (!d.Holds(part.offset, part.count)) continue;
    if (std::memcmp(d.image.data() + part.offset, part.bytes, static_cast<size_t>(part.count)) !=
        0) {
      d.problems.push_back(FormatText("%s at byte 0x%02X differs from the layout's fixed bytes",
                                      part.name, part.offset));
    }
  }
  for (int i = 0; i < 7; ++i) {
    const int pair = kDescriptorTableOffset + 2 * i;
    if (!d.Holds(pair, 2)) continue;
    const int pointed = 2 * static_cast<uint8_t>(d.At(pair + 1) - d.bias);
    if (!d.Holds(pointed, d.At(pair))) {
      d.problems.push_back(
          FormatText("descriptor table entry %d points at byte 0x%X, %d bytes, "
                     "beyond the end of the image (%d bytes)",
                     i, pointed, d.At(pair), static_cast<int>(d.image.size())));
    } else if (d.At(pair) != kDescriptorTable[i][0] || pointed != 2 * kDescriptorTable[i][1]) {
      d.problems.push_back(
          FormatText("descriptor table entry %d is (0x%02X, byte 0x%02X), the "
                     "layout gives (0x%02X, byte 0x%02X)",
                     i, d.At(pair), pointed, kDescriptorTable[i][0], 2 * kDescriptorTable[i][1]));
    }
  }
}

// Bytes that the builder derives from others, and copies that must agree.
void CheckDerivedBytes(DecodedImage& d) {
  if (!d.Holds(0, kImageHeadSize)) return;
  auto problem = [&d](bool bad, const char* text) {
    if (bad) d.problems.push_back(text);
  };
  problem((d.At(0x0A) & 0x8E) != 0, "reserved bits of the [GPIOPME1] byte (0x0A) are set");
  problem((d.At(0x0B) & 0xF0) != 0, "reserved bits of the [LEDConfig0] byte (0x0B) are set");
  problem(d.Le(0x46, 2) != 0, "bytes 0x46-0x47 are not zero");
  problem(d.Le(0x23, 2) != 0x0409, "the language ID is not 0x0409");
  const bool lpm = (d.At(0x13) & 0x04) != 0;
  problem((d.At(0x6A) & 0x06) != (lpm ? 0x06 : 0),
          "USB 2.0 Extension LPM bits disagree with the LPM bit of ConfigFlags0");
  problem(d.At(0x71) != ((d.At(0x15) & 0x40) != 0 ? 0x02 : 0),
          "SuperSpeed attributes disagree with bit 6 of ConfigFlags0 byte 2");
  problem(std::memcmp(d.image.data() + 0x80, d.image.data() + 0xA4, 10) != 0,
          "the SuperSpeed and high-speed device descriptors differ in their IDs or string indexes");
  problem(d.At(0x89) != 1, "the device descriptors do not give one configuration");
  problem((d.At(0x91) & 0x9F) != 0x80, "reserved bits of the configuration attributes are set");
  problem(d.At(0x90) != d.At(0xB4) || d.At(0x91) != d.At(0xB5) || d.At(0x9B) != d.At(0xBF),
          "the SuperSpeed and high-speed configurations differ in their string indexes or "
          "attributes");
  const uint8_t index_of_slot[kStringCount] = {d.At(0x86), d.At(0x87), d.At(0x88), d.At(0x90),
                                               d.At(0x9B)};
  const uint8_t expected_index[kStringCount] = {1, 2, 3, 4, 5};
  for (int slot = 0; slot < kStringCount; ++slot) {
    const bool present =
        d.At(kStringTableOffset + 2 * slot) != 0 || d.At(kStringTableOffset + 2 * slot + 1) != 0;
    const uint8_t index = index_of_slot[slot];
    if (index != (present || slot == kSerialNumberSlot ? expected_index[slot] : 0)) {
      d.problems.push_back(
          FormatText("string index %d of %s does not match its string table "
                     "entry",
                     index, kStringSlotNames[slot]));
    }
  }
}

}  // namespace

void DecodeHeadFields(DecodedImage& d) {
  d.fields.push_back({"Signature", FormatText("0x%02X (%s)", d.At(0), FormName(d.form))});
  Add(d, "CurrentMacAddress", kMacAddressOffset, 6,
      FormatText("%02X:%02X:%02X:%02X:%02X:%02X", d.At(1), d.At(2), d.At(3), d.At(4), d.At(5),
                 d.At(6)));
  Add(d, "GPIOWake", 0x07, 2, Hex(d.Le(0x07, 2), 4));
  for (const BitField& f : kFlagBits) {
    Add(d, f.name, f.offset, 1, std::to_string((d.At(f.offset) >> f.bit) & 1));
  }
  Add(d, "LED1Function", 0x0C, 1, std::to_string(d.At(0x0C) >> 4));
  Add(d, "LED0Function", 0x0C, 1, std::to_string(d.At(0x0C) & 0xF));
  Add(d, "LED3Function", 0x0D, 1, std::to_string(d.At(0x0D) >> 4));
  Add(d, "LED2Function", 0x0D, 1, std::to_string(d.At(0x0D) & 0xF));
  for (const WordField& f : kWordFieldsBeforeStrings) AddWord(d, f);
  for (const WordField& f : kWordFieldsAfterTables) AddWord(d, f);
  AddDescriptorPair(d, "SuperSpeed.", 0x78, 0x8A, 8);
  AddDescriptorPair(d, "HighSpeed.", 0x9C, 0xAE, 2);
  CheckFixedParts(d);
  CheckDerivedBytes(d);
}
