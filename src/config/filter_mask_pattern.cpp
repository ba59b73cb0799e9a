// filter_mask_pattern.cpp - the wake-up frame filter pattern: from its text ("1A 1B 1C ...") to
// the bytes the image builders use.
#include "config/ini_section.h"
#include "config/user/ini_value.h"

int ParseFilterMaskPattern(DeviceSettings& settings, Console& console) {
  // A pattern read again (a section given twice) must not keep bytes of the earlier one.
  settings.FilterMaskPatternBytes.fill(0);
  if (!settings.FilterMaskPattern) return 0;
  const char* text = settings.FilterMaskPattern->c_str();
  size_t index = SkipBlanks(text, 0);
  size_t count = 0;
  bool bad_digit = false;
  while (text[index] != '\0') {
    const int high = HexDigitValue(text[index]);
    // The second character may be the end of the text, which is never stepped over.
    const bool has_second = text[index + 1] != '\0';
    const int low = has_second ? HexDigitValue(text[index + 1]) : -1;
    if (high < 0 || low < 0) {
      console.Error("Not hex digit for pattern\n");
      bad_digit = true;
    }
    if (count == kFilterPatternBytes) {
      console.Error("FilterMaskPattern contains more than 128 bytes\n");
      return -1;
    }
    settings.FilterMaskPatternBytes[count++] =
        static_cast<uint8_t>((high < 0 ? 0 : high) << 4 | (low < 0 ? 0 : low));
    index += has_second ? 2 : 1;
    if (text[index] == '\0') break;
    if (text[index] != ' ' && text[index] != '\t') {
      console.Error("The pattern should be in the format \"1A 1B 1C 1D 1E 1D 1F 2A....\"\n");
      return -1;
    }
    index = SkipBlanks(text, index);
  }
  return bad_digit ? -1 : 0;
}
