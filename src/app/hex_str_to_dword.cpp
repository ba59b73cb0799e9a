// hex_str_to_dword.cpp - hexadecimal text to a 32-bit value, with the converter's own error
// lines, each announced by eight bells.
#include "app/hex_str_to_dword.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/hex_digit.h"

namespace {

constexpr size_t kMaxLength = 10;
constexpr int kMaxDigits = 8;
constexpr int kDigitsBeforeUnderscore = 4;

void Complain(Console& console, const char* format, ...) __attribute__((format(printf, 2, 3)));

void Complain(Console& console, const char* format, ...) {
  console.Write("\a\a\a\a\a\a\a\a", 8);
  char line[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  console.Print(line);
}

}  // namespace

bool HexStrToDword(const char* text, uint32_t* value, Console& console) {
  const size_t length = std::strlen(text);
  if (length == 0) {
    Complain(console, "  ERROR:  HexStrToDword:  empty string\n");
    return false;
  }
  if (length > kMaxLength) {
    Complain(console, "  ERROR:  HexStrToDword:  bad strlen=%u\n", static_cast<unsigned>(length));
    return false;
  }

  uint32_t result = 0;
  int digits = 0;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if (i == 0 && c == '0' && length > 1) continue;
    if (i == 1 && (c == 'x' || c == 'X')) continue;
    if (c == '_') {
      if (digits == kDigitsBeforeUnderscore) continue;
      Complain(console, "  ERROR:  HexStrToDword, underscore must be between upper/lower words\n");
      return false;
    }
    const int digit = HexDigitValue(c);
    if (digit < 0) {
      Complain(console, "  ERROR:  HexStrToDword, bad char szBuf[%d]=0x%02X\n", static_cast<int>(i),
               static_cast<unsigned>(static_cast<unsigned char>(c)));
      return false;
    }
    result = (result << 4) + static_cast<uint32_t>(digit);
    ++digits;
  }

  *value = result;
  if (digits == 0 || digits > kMaxDigits) {
    Complain(console, "  ERROR:  HexStrToDword:  bad #digits =%d (s/b <= 8)\n", digits);
    return false;
  }
  return true;
}
