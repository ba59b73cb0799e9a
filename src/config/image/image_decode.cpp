// image_decode.cpp - the image out of its file form, then the string area and the optional blocks
// as the offset tables point at them, each checked against the image's bounds before it is read.
#include "config/image/image_decode.h"

#include <cstdarg>
#include <cstdio>

#include "config/image/filter_pattern.h"

const char* const kStringSlotNames[kStringCount] = {
    "ManufacturerString",  "ProductString",   "CurrentSerialNumber",
    "ConfigurationString", "InterfaceString",
};
const char* const kBlockNames[kBlockCount] = {"wake-up filter", "LTM/BELT", "test bus"};

std::string FormatText(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

namespace {

// An upper-half OTP file keeps image byte i (i >= 1) at file offset 0x100 + i.
constexpr size_t kUpperHalfFileBase = 0x101;
constexpr uint8_t kStringDescriptorType = 0x03;

void TakeImage(DecodedImage& d, const uint8_t* file, size_t size) {
  d.file_size = size;
  if (size == 0) {
    d.problems.push_back("the file is empty");
    return;
  }
  switch (file[0]) {
    case kEepromImageSignature:
      d.form = ImageForm::kEeprom;
      break;
    case kOtpLowerHalfSignature:
      d.form = ImageForm::kOtpLowerHalf;
      break;
    case kOtpUpperHalfSignature:
      d.form = ImageForm::kOtpUpperHalf;
      break;
    default:
      d.form = ImageForm::kUnknown;
      d.problems.push_back(FormatText(
          "signature 0x%02X is no image form's (0xA5 EEPROM, 0xF3 or 0xF7 OTP)", file[0]));
      break;
  }
  if (d.form == ImageForm::kOtpUpperHalf) {
    d.bias = kUpperHalfBias;
    d.image.push_back(file[0]);
    if (size > kUpperHalfFileBase)
      d.image.insert(d.image.end(), file + kUpperHalfFileBase, file + size);
  } else {
    d.image.assign(file, file + size);
  }
  if (size > static_cast<size_t>(kMaxImageBytes)) {
    d.problems.push_back(FormatText("the file holds %d bytes, more than the %d of the memory",
                                    static_cast<int>(size), kMaxImageBytes));
  }
  if (d.image.size() < static_cast<size_t>(kImageHeadSize)) {
    d.problems.push_back(FormatText("the head ends after %d of its %d bytes",
                                    static_cast<int>(d.image.size()), kImageHeadSize));
  }
}

// The image byte that a stored (length, word offset) pair points at.
int PointedOffset(const DecodedImage& d, uint8_t stored_word) {
  return 2 * static_cast<uint8_t>(stored_word - d.bias);
}

void DecodeString(DecodedImage& d, int slot) {
  DecodedString& s = d.strings[slot];
  const int pair = kStringTableOffset + 2 * slot;
  const uint8_t length = d.At(pair);
  const uint8_t stored = d.At(pair + 1);
  if (length == 0 && stored == 0) return;
  s.present = true;
  s.length = length;
  s.offset = PointedOffset(d, stored);
  const char* name = kStringSlotNames[slot];
  if (s.offset < kImageHeadSize) {
    d.problems.push_back(
        FormatText("%s: its descriptor at byte 0x%02X lies inside the head", name, s.offset));
  }
  if (!d.Holds(s.offset, length)) {
    d.problems.push_back(
        FormatText("%s: its descriptor at byte 0x%X, %d bytes, runs past the end of "
                   "the image (%d bytes)",
                   name, s.offset, length, static_cast<int>(d.image.size())));
  }
  if (length < 2 || length % 2 != 0) {
    d.problems.push_back(FormatText("%s: descriptor length %d is not 2n + 2", name, length));
  }
  if (d.Holds(s.offset, 2) &&
      (d.At(s.offset) != length || d.At(s.offset + 1) != kStringDescriptorType)) {
    d.problems.push_back(FormatText("%s: descriptor header %02X %02X, the table gives %02X 03",
                                    name, d.At(s.offset), d.At(s.offset + 1), length));
  }
  for (int unit = s.offset + 2; unit + 1 < s.offset + length && d.Holds(unit, 2); unit += 2) {
    const uint8_t low = d.At(unit);
    const uint8_t high = d.At(unit + 1);
    s.text.push_back(static_cast<char>(low));
    if (high != ((low & 0x80) != 0 ? 0xFF : 0x00)) s.builder_units = false;
  }
  if (!s.builder_units) {
    d.problems.push_back(FormatText("%s: holds characters that are not one byte each", name));
  }
}

void DecodeBlock(DecodedImage& d, int index) {
  DecodedBlock& b = d.blocks[index];
  const int pair = kBlockTableOffset + 2 * index;
  const uint8_t length = d.At(pair);
  const uint8_t stored = d.At(pair + 1);
  if (length == 0 && stored == 0) return;
  b.present = true;
  b.length = length;
  b.offset = PointedOffset(d, stored);
  b.inside = d.Holds(b.offset, length);
  if (length != kBlockLengths[index]) {
    d.problems.push_back(FormatText("%s block: length %d, the layout gives %d", kBlockNames[index],
                                    length, kBlockLengths[index]));
  }
  if (!b.inside) {
    d.problems.push_back(
        FormatText("%s block at byte 0x%X, %d bytes, runs past the end of the image "
                   "(%d bytes)",
                   kBlockNames[index], b.offset, length, static_cast<int>(d.image.size())));
  } else if (b.offset < kImageHeadSize) {
    d.problems.push_back(
        FormatText("%s block at byte 0x%02X lies inside the head", kBlockNames[index], b.offset));
  }
}

std::string Hex(uint32_t value, int digits) { return FormatText("0x%0*X", digits, value); }

void AddStringFields(DecodedImage& d) {
  for (int slot = 0; slot < kStringCount; ++slot) {
    const DecodedString& s = d.strings[slot];
    d.fields.push_back({kStringSlotNames[slot], s.present ? QuoteText(s.text) : "absent"});
  }
}

void AddWakeFilterFields(DecodedImage& d) {
  const DecodedBlock& b = d.blocks[kWakeFilterBlock];
  if (!b.present || !b.inside || b.length < kBlockLengths[kWakeFilterBlock]) {
    d.fields.push_back({"WakeFilter", b.present ? "unreadable" : "absent"});
    return;
  }
  const uint16_t crc = static_cast<uint16_t>(d.Le(b.offset, 2));
  const uint8_t control = d.At(b.offset + 3);
  uint8_t mask[kFilterMaskBytes];
  std::string mask_text;
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    mask[k] = d.At(b.offset + 4 + k);
    mask_text += FormatText(k == 0 ? "%02X" : " %02X", mask[k]);
  }
  d.fields.push_back({"WakeFilterCrc", Hex(crc, 4)});
  d.fields.push_back({"FilterPatternOffset", std::to_string(d.At(b.offset + 2))});
  d.fields.push_back({"FilterAddressType", std::to_string(control & 3)});
  d.fields.push_back({"FilterMask", mask_text});
  if ((control & 0xFC) != 0x80) {
    d.problems.push_back(
        FormatText("wake-up filter: control byte 0x%02X, the layout gives 0x80 | type", control));
  }
  if (!FindFilterPattern(mask, crc)) {
    d.problems.push_back(FormatText(
        "wake-up filter: CRC 0x%04X fits no pattern with the bytes its mask marks", crc));
  }
}

void AddBlockFields(DecodedImage& d) {
  AddWakeFilterFields(d);
  const DecodedBlock& ltm = d.blocks[kLtmBeltBlock];
  static const char* const kLtmNames[6] = {"LTMBELTIdle0",     "LTMBELTIdle1",
                                           "LTMBELTActive0",   "LTMBELTActive1",
                                           "LTMBELTInActive0", "LTMBELTInActive1"};
  if (ltm.present && ltm.inside && ltm.length >= kBlockLengths[kLtmBeltBlock]) {
    for (int i = 0; i < 6; ++i)
      d.fields.push_back({kLtmNames[i], Hex(d.Le(ltm.offset + 4 * i, 4), 8)});
  } else {
    d.fields.push_back({"LTMBELT", ltm.present ? "unreadable" : "absent"});
  }
  const DecodedBlock& bus = d.blocks[kTestBusBlock];
  if (bus.present && bus.inside && bus.length >= kBlockLengths[kTestBusBlock]) {
    d.fields.push_back({"CommonTestBusIn", Hex(d.Le(bus.offset, 4), 8)});
  } else {
    d.fields.push_back({"CommonTestBusIn", bus.present ? "unreadable" : "absent"});
  }
  const bool filter_enabled = (d.At(0x0A) & 1) != 0;
  if (filter_enabled != d.blocks[kWakeFilterBlock].present) {
    d.problems.push_back(filter_enabled
                             ? "PMEWUFFEnable is set but there is no wake-up filter block"
                             : "a wake-up filter block is there but PMEWUFFEnable is clear");
  }
}

void FindImageLength(DecodedImage& d) {
  int end = kImageHeadSize;
  for (const DecodedString& s : d.strings) {
    if (s.present && s.offset + s.length > end) end = s.offset + s.length;
  }
  for (const DecodedBlock& b : d.blocks) {
    if (b.present && b.offset + b.length > end) end = b.offset + b.length;
  }
  d.image_length = end;
  d.fields.push_back({"ImageLength", std::to_string(end)});
  const int limit = d.form == ImageForm::kOtpUpperHalf ? kMaxImageBytes / 2 : kMaxImageBytes;
  if (end > limit) {
    d.problems.push_back(
        FormatText("the image ends at byte %d, beyond the %d bytes its form can hold", end, limit));
  }
}

}  // namespace

std::string QuoteText(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      quoted += FormatText("\\x%02X", byte);
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

const std::string* FindField(const DecodedImage& decoded, const std::string& name) {
  for (const ImageField& field : decoded.fields) {
    if (field.name == name) return &field.value;
  }
  return nullptr;
}

DecodedImage DecodeImageFile(const uint8_t* file, size_t size) {
  DecodedImage d;
  TakeImage(d, file, size);
  if (size == 0) return d;
  DecodeHeadFields(d);
  for (int slot = 0; slot < kStringCount; ++slot) DecodeString(d, slot);
  for (int index = 0; index < kBlockCount; ++index) DecodeBlock(d, index);
  AddStringFields(d);
  AddBlockFields(d);
  FindImageLength(d);
  return d;
}
