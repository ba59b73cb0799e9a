// image_report.cpp - formatting the inspector's reports.
#include "tools/image/image_report.h"

#include <algorithm>

namespace {

const char* FormText(ImageForm form) {
  switch (form) {
    case ImageForm::kEeprom:
      return "EEPROM image";
    case ImageForm::kOtpLowerHalf:
      return "OTP image file, 0xF3 form";
    case ImageForm::kOtpUpperHalf:
      return "OTP image file, 0xF7 form";
    case ImageForm::kUnknown:
      break;
  }
  return "no image";
}

// The first image byte, within both images' lengths, that the two images do not share.
int FirstDifferentByte(const InspectedImage& a, const InspectedImage& b) {
  const int end = std::max(a.image_length, b.image_length);
  for (int offset = 0; offset < end; ++offset) {
    if (a.At(offset) != b.At(offset)) return offset;
  }
  return -1;
}

}  // namespace

bool IsImage(const InspectedImage& decoded) {
  return decoded.file_size > 0 && decoded.form != ImageForm::kUnknown;
}

std::string ShowReport(const std::string& file_name, const InspectedImage& decoded) {
  std::string text = FormatText("%s: %d bytes, %s\n", file_name.c_str(),
                                static_cast<int>(decoded.file_size), FormText(decoded.form));
  for (const ShownField& field : decoded.fields) text += field.name + ": " + field.value + "\n";
  if (decoded.problems.empty()) return text + "No inconsistencies.\n";
  text += FormatText("%d inconsistencies:\n", static_cast<int>(decoded.problems.size()));
  for (const std::string& problem : decoded.problems) text += "  " + problem + "\n";
  return text;
}

std::string DiffReport(const InspectedImage& a, const InspectedImage& b, int* differences) {
  std::string text;
  int count = 0;
  const auto report = [&](const std::string& name, const std::string* in_a,
                          const std::string* in_b) {
    if (in_a != nullptr && in_b != nullptr && *in_a == *in_b) return;
    text += name + ": " + (in_a != nullptr ? *in_a : "-") + " | " +
            (in_b != nullptr ? *in_b : "-") + "\n";
    ++count;
  };
  for (const ShownField& field : a.fields)
    report(field.name, &field.value, FindField(b, field.name));
  for (const ShownField& field : b.fields) {
    if (FindField(a, field.name) == nullptr) report(field.name, nullptr, &field.value);
  }
  if (count == 0) {
    const int offset = FirstDifferentByte(a, b);
    if (offset >= 0) {
      text += FormatText("bytes: the images differ from byte 0x%02X on, outside the named fields\n",
                         offset);
      ++count;
    }
  }
  *differences = count;
  return text;
}
