// image_decode.cpp - the image out of its file form, then the string area and the optional blocks
// as the offset tables point at them, each bounded by the image before it is read.
#include "format/image_decode.h"

#include "format/image_blocks.h"
#include "format/otp_form.h"

namespace {

ImageForm FormOf(uint8_t signature) {
  switch (signature) {
    case kEepromImageSignature:
      return ImageForm::kEeprom;
    case kOtpSignatureLower:
      return ImageForm::kOtpLowerHalf;
    case kOtpSignatureUpper:
      return ImageForm::kOtpUpperHalf;
    default:
      return ImageForm::kUnknown;
  }
}

// The entry of a table pair; false for an absent one, (0, 0).
bool ReadPair(const DecodedImage& d, int pair, int* length, int* offset) {
  *length = d.At(pair);
  const uint8_t stored = d.At(pair + 1);
  if (*length == 0 && stored == 0) return false;
  *offset = d.PointedOffset(stored);
  return true;
}

void DecodeString(DecodedImage& d, int slot) {
  DecodedString& s = d.strings[slot];
  s.present = ReadPair(d, StringPairOffset(slot), &s.length, &s.offset);
  for (int unit = s.offset + 2; s.present && unit + 1 < s.offset + s.length && d.Holds(unit, 2);
       unit += 2) {
    const char character = static_cast<char>(d.At(unit));
    s.text.push_back(character);
    if (d.Le(unit, 2) != StringCharacterUnit(character)) s.builder_units = false;
  }
}

void DecodeBlock(DecodedImage& d, int index) {
  DecodedBlock& b = d.blocks[index];
  b.present = ReadPair(d, BlockPairOffset(index), &b.length, &b.offset);
  b.inside = b.present && d.Holds(b.offset, b.length);
}

int ImageEnd(const DecodedImage& d) {
  int end = kImageHeadSize;
  for (const DecodedString& s : d.strings) {
    if (s.present && s.offset + s.length > end) end = s.offset + s.length;
  }
  for (const DecodedBlock& b : d.blocks) {
    if (b.present && b.offset + b.length > end) end = b.offset + b.length;
  }
  return end;
}

}  // namespace

DecodedImage DecodeImageFile(const uint8_t* file, size_t size) {
  DecodedImage d;
  d.file_size = size;
  if (size == 0) return d;
  d.form = FormOf(file[0]);
  d.image.resize(size);
  d.image.resize(ImageOfFile(file, size, d.image.data(), size));
  d.bias = StoredOffsetBias(d.image.data());
  for (int slot = 0; slot < kStringCount; ++slot) DecodeString(d, slot);
  for (int index = 0; index < kBlockCount; ++index) DecodeBlock(d, index);
  d.image_length = ImageEnd(d);
  return d;
}
