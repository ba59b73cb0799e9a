// image_inspect.cpp - the decoded image checked against the layout: its file, then the strings and
// the optional blocks as the offset tables point at them, then the fields they hold.
#include "tools/image/image_inspect.h"

#include <cstdarg>
#include <cstdio>

#include "common/image_buffer.h"
#include "format/image_blocks.h"
#include "tools/image/filter_pattern.h"

std::string FormatText(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

namespace {

void CheckFile(InspectedImage& d) {
  if (d.form == ImageForm::kUnknown) {
    d.problems.push_back(FormatText(
        "signature 0x%02X is no image form's (0xA5 EEPROM, 0xF3 or 0xF7 OTP)", d.image[0]));
  }
  if (d.file_size > static_cast<size_t>(kMaxImageBytes)) {
    d.problems.push_back(FormatText("the file holds %d bytes, more than the %d of the memory",
                                    static_cast<int>(d.file_size), kMaxImageBytes));
  }
  if (d.image.size() < static_cast<size_t>(kImageHeadSize)) {
    d.problems.push_back(FormatText("the head ends after %d of its %d bytes",
                                    static_cast<int>(d.image.size()), kImageHeadSize));
  }
}

void CheckString(InspectedImage& d, int slot) {
  const DecodedString& s = d.strings[slot];
  if (!s.present) return;
  const char* name = kStringSlotNames[slot];
  const int length = s.length;
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
  if (!s.builder_units) {
    d.problems.push_back(FormatText("%s: holds characters that are not one byte each", name));
  }
}

void CheckBlock(InspectedImage& d, int index) {
  const DecodedBlock& b = d.blocks[index];
  if (!b.present) return;
  if (b.length != kBlockLengths[index]) {
    d.problems.push_back(FormatText("%s block: length %d, the layout gives %d", kBlockNames[index],
                                    b.length, kBlockLengths[index]));
  }
  if (!b.inside) {
    d.problems.push_back(
        FormatText("%s block at byte 0x%X, %d bytes, runs past the end of the image "
                   "(%d bytes)",
                   kBlockNames[index], b.offset, b.length, static_cast<int>(d.image.size())));
  } else if (b.offset < kImageHeadSize) {
    d.problems.push_back(
        FormatText("%s block at byte 0x%02X lies inside the head", kBlockNames[index], b.offset));
  }
}

std::string Hex(uint32_t value, int digits) { return FormatText("0x%0*X", digits, value); }

// A block the layout's length of which lies inside the image.
bool Readable(const InspectedImage& d, int index) {
  const DecodedBlock& b = d.blocks[index];
  return b.present && b.inside && b.length >= kBlockLengths[index];
}

void AddStringFields(InspectedImage& d) {
  for (int slot = 0; slot < kStringCount; ++slot) {
    const DecodedString& s = d.strings[slot];
    d.fields.push_back({kStringSlotNames[slot], s.present ? QuoteText(s.text) : "absent"});
  }
}

void AddWakeFilterFields(InspectedImage& d) {
  const DecodedBlock& b = d.blocks[kWakeFilterBlock];
  if (!Readable(d, kWakeFilterBlock)) {
    d.fields.push_back({"WakeFilter", b.present ? "unreadable" : "absent"});
    return;
  }
  const auto crc = static_cast<uint16_t>(d.Le(b.offset + kFilterCrcAt, 2));
  const uint8_t control = d.At(b.offset + kFilterControlAt);
  uint8_t mask[kFilterMaskBytes];
  std::string mask_text;
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    mask[k] = d.At(b.offset + kFilterMaskAt + k);
    mask_text += FormatText(k == 0 ? "%02X" : " %02X", mask[k]);
  }
  d.fields.push_back({"WakeFilterCrc", Hex(crc, 4)});
  d.fields.push_back(
      {"FilterPatternOffset", std::to_string(d.At(b.offset + kFilterPatternOffsetAt))});
  d.fields.push_back({"FilterAddressType", std::to_string(control & kFilterAddressTypeMask)});
  d.fields.push_back({"FilterMask", mask_text});
  if ((control & ~kFilterAddressTypeMask) != kFilterControlMark) {
    d.problems.push_back(
        FormatText("wake-up filter: control byte 0x%02X, the layout gives 0x80 | type", control));
  }
  if (!FindFilterPattern(mask, crc)) {
    d.problems.push_back(FormatText(
        "wake-up filter: CRC 0x%04X fits no pattern with the bytes its mask marks", crc));
  }
}

void AddBlockFields(InspectedImage& d) {
  AddWakeFilterFields(d);
  const DecodedBlock& ltm = d.blocks[kLtmBeltBlock];
  if (Readable(d, kLtmBeltBlock)) {
    for (int i = 0; i < kLtmBeltValues; ++i)
      d.fields.push_back({kLtmBeltKeys[i], Hex(d.Le(ltm.offset + 4 * i, 4), 8)});
  } else {
    d.fields.push_back({"LTMBELT", ltm.present ? "unreadable" : "absent"});
  }
  const DecodedBlock& bus = d.blocks[kTestBusBlock];
  d.fields.push_back({"CommonTestBusIn", Readable(d, kTestBusBlock) ? Hex(d.Le(bus.offset, 4), 8)
                                         : bus.present              ? "unreadable"
                                                                    : "absent"});
  const bool filter_enabled = d.Field(HeadField::kPmeWuffEnable) != 0;
  if (filter_enabled != d.blocks[kWakeFilterBlock].present) {
    d.problems.push_back(filter_enabled
                             ? "PMEWUFFEnable is set but there is no wake-up filter block"
                             : "a wake-up filter block is there but PMEWUFFEnable is clear");
  }
}

void AddImageLength(InspectedImage& d) {
  d.fields.push_back({"ImageLength", std::to_string(d.image_length)});
  const int limit = d.form == ImageForm::kOtpUpperHalf ? kMaxImageBytes / 2 : kMaxImageBytes;
  if (d.image_length > limit) {
    d.problems.push_back(FormatText(
        "the image ends at byte %d, beyond the %d bytes its form can hold", d.image_length, limit));
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

const std::string* FindField(const InspectedImage& inspected, const std::string& name) {
  for (const ShownField& field : inspected.fields) {
    if (field.name == name) return &field.value;
  }
  return nullptr;
}

InspectedImage InspectImageFile(const uint8_t* file, size_t size) {
  InspectedImage d;
  static_cast<DecodedImage&>(d) = DecodeImageFile(file, size);
  if (size == 0) {
    d.problems.push_back("the file is empty");
    return d;
  }
  CheckFile(d);
  InspectHead(d);
  for (int slot = 0; slot < kStringCount; ++slot) CheckString(d, slot);
  for (int index = 0; index < kBlockCount; ++index) CheckBlock(d, index);
  AddStringFields(d);
  AddBlockFields(d);
  AddImageLength(d);
  return d;
}
