// head_inspect.cpp - the 192-byte head read back field by field, and the checks that tie its
// fixed and derived bytes to the layout and to the values they come from.
#include <cstring>

#include "format/mac_text.h"
#include "tools/image/image_inspect.h"

namespace {

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

std::string ValueText(const InspectedImage& d, HeadField field) {
  const HeadFieldRow& row = RowOf(field);
  const uint32_t value = d.Field(field);
  switch (row.show) {
    case FieldShow::kHex:
      return FormatText("0x%0*X", 2 * row.bytes, value);
    case FieldShow::kMacAddress:
      return MacAddressText(d.Mac());
    case FieldShow::kPower:
      return FormatText("%d (%d mA)", static_cast<int>(value), static_cast<int>(value) * row.unit);
    case FieldShow::kDecimal:
      break;
  }
  return std::to_string(value);
}

void AddFields(InspectedImage& d) {
  for (int i = 0; i < static_cast<int>(HeadField::kCount); ++i) {
    const auto field = static_cast<HeadField>(i);
    const HeadFieldRow& row = RowOf(field);
    d.fields.push_back({std::string(row.prefix) + row.name, d.Holds(row.offset, row.bytes)
                                                                ? ValueText(d, field)
                                                                : "beyond the end of the image"});
  }
}

void CheckFixedParts(InspectedImage& d) {
  for (const FixedPart& part : kFixedParts) {
    if (!d.Holds(part.offset, part.count)) continue;
    if (std::memcmp(d.image.data() + part.offset, part.bytes, static_cast<size_t>(part.count)) !=
        0) {
      d.problems.push_back(FormatText("%s%s at byte 0x%02X differs from the layout's fixed bytes",
                                      part.prefix, part.name, part.offset));
    }
  }
  for (int i = 0; i < kDescriptorCount; ++i) {
    const int pair = DescriptorPairOffset(i);
    if (!d.Holds(pair, 2)) continue;
    const int pointed = d.PointedOffset(d.At(pair + 1));
    const DescriptorPointer& layout = kDescriptorTable[i];
    if (!d.Holds(pointed, d.At(pair))) {
      d.problems.push_back(
          FormatText("descriptor table entry %d points at byte 0x%X, %d bytes, "
                     "beyond the end of the image (%d bytes)",
                     i, pointed, d.At(pair), static_cast<int>(d.image.size())));
    } else if (d.At(pair) != layout.length || pointed != 2 * layout.word) {
      d.problems.push_back(
          FormatText("descriptor table entry %d is (0x%02X, byte 0x%02X), the "
                     "layout gives (0x%02X, byte 0x%02X)",
                     i, d.At(pair), pointed, layout.length, 2 * layout.word));
    }
  }
}

// The bits of the byte at |offset| that no field of the head takes.
uint8_t ReservedBits(int offset) {
  uint8_t used = 0;
  for (int i = 0; i < static_cast<int>(HeadField::kCount); ++i) {
    const HeadFieldRow& row = RowOf(static_cast<HeadField>(i));
    if (row.offset == offset) used |= static_cast<uint8_t>(((1u << row.bits) - 1) << row.shift);
  }
  return static_cast<uint8_t>(~used);
}

bool SpeedsDiffer(const InspectedImage& d, SpeedField field) {
  return d.Field(FieldOfSpeed(kSuperSpeed, field)) != d.Field(FieldOfSpeed(kHighSpeed, field));
}

bool StringIndexesDiffer(const InspectedImage& d, int first, int end) {
  for (int slot = first; slot < end; ++slot) {
    if (d.Field(StringIndexField(kSuperSpeed, slot)) !=
        d.Field(StringIndexField(kHighSpeed, slot))) {
      return true;
    }
  }
  return false;
}

// Bytes that the builder derives from others, and copies that must agree.
void CheckDerivedBytes(InspectedImage& d) {
  if (!d.Holds(0, kImageHeadSize)) return;
  auto problem = [&d](bool bad, const char* text) {
    if (bad) d.problems.push_back(text);
  };
  const auto reserved = [&d](HeadField field) {
    const int offset = RowOf(field).offset;
    return (d.At(offset) & ReservedBits(offset)) != 0;
  };
  problem(reserved(HeadField::kPmeWuffEnable),
          "reserved bits of the [GPIOPME1] byte (0x0A) are set");
  problem(reserved(HeadField::kLed0Enable),
          "reserved bits of the [LEDConfig0] byte (0x0B) are set");
  problem(d.Le(kReservedWordOffset, 2) != 0, "bytes 0x46-0x47 are not zero");
  problem(d.Field(HeadField::kLanguageId) != RowOf(HeadField::kLanguageId).absent,
          "the language ID is not 0x0409");
  const uint32_t flags0 = d.Field(HeadField::kConfigFlags0);
  const uint32_t lpm_bits = (flags0 & kFlags0Lpm) != 0 ? kUsb2ExtLpmBits : 0;
  problem((d.Field(HeadField::kUsb2ExtAttributes) & kUsb2ExtLpmBits) != lpm_bits,
          "USB 2.0 Extension LPM bits disagree with the LPM bit of ConfigFlags0");
  problem(d.Field(HeadField::kSuperSpeedAttributes) !=
              ((flags0 & kFlags0U1U2Enable) != 0 ? kSuperSpeedU1U2Attributes : 0),
          "SuperSpeed attributes disagree with bit 6 of ConfigFlags0 byte 2");
  problem(SpeedsDiffer(d, SpeedField::kVendorId) || SpeedsDiffer(d, SpeedField::kProductId) ||
              SpeedsDiffer(d, SpeedField::kBcdDevice) ||
              StringIndexesDiffer(d, kManufacturerSlot, kConfigurationSlot) ||
              SpeedsDiffer(d, SpeedField::kConfigurations),
          "the SuperSpeed and high-speed device descriptors differ in their IDs or string indexes");
  const HeadField configurations = FieldOfSpeed(kSuperSpeed, SpeedField::kConfigurations);
  problem(d.Field(configurations) != RowOf(configurations).absent,
          "the device descriptors do not give one configuration");
  const uint32_t attributes = d.Field(FieldOfSpeed(kSuperSpeed, SpeedField::kAttributes));
  problem((attributes & ~uint32_t{kAttributesRemoteWakeup | kAttributesSelfPowered}) !=
              kAttributesFixed,
          "reserved bits of the configuration attributes are set");
  problem(StringIndexesDiffer(d, kConfigurationSlot, kStringCount) ||
              SpeedsDiffer(d, SpeedField::kAttributes),
          "the SuperSpeed and high-speed configurations differ in their string indexes or "
          "attributes");
  for (int slot = 0; slot < kStringCount; ++slot) {
    const bool present = d.At(StringPairOffset(slot)) != 0 || d.At(StringPairOffset(slot) + 1) != 0;
    const uint32_t index = d.Field(StringIndexField(kSuperSpeed, slot));
    if (index != (present || slot == kSerialNumberSlot ? StringIndexOf(slot) : 0)) {
      d.problems.push_back(
          FormatText("string index %d of %s does not match its string table "
                     "entry",
                     static_cast<int>(index), kStringSlotNames[slot]));
    }
  }
}

}  // namespace

void InspectHead(InspectedImage& d) {
  d.fields.push_back({"Signature", FormatText("0x%02X (%s)", d.At(0), FormName(d.form))});
  AddFields(d);
  CheckFixedParts(d);
  CheckDerivedBytes(d);
}
