// option_scanner.cpp - the option scanner. An argument is an option when it starts with '-' and
// has a second character, the option letter; anything else is skipped.
#include "app/option_scanner.h"

#include <cctype>
#include <climits>

namespace {

bool IsOption(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

// The leading decimal number of |text|, as formatted input with "%d" reads it.
bool ReadDecimal(const char* text, int32_t* number) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  int64_t value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT32_MAX) value = INT32_MAX + int64_t{1};  // saturate: no index is that large
  }
  if (negative) value = -value;
  *number = static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
  return true;
}

}  // namespace

int OptionScanner(int argc, char** argv, int* position, const char** argument,
                  int32_t* adapter_index, Console& console) {
  int letter_seen = 0;
  while (*position < argc) {
    const char* current = argv[*position];
    if (current == nullptr) {
      console.Print("argv is NULL");
      return 0;
    }
    *argument = nullptr;
    if (!IsOption(current)) {
      ++*position;
      continue;
    }
    const int letter = static_cast<unsigned char>(current[1]);
    letter_seen = letter;
    const bool has_next = *position + 1 < argc && argv[*position + 1] != nullptr;
    const char* next = has_next ? argv[*position + 1] : nullptr;

    if (letter == 'X') {
      if (next == nullptr || next[0] == '-') {
        ++*position;
        return letter;
      }
      ReadDecimal(next, adapter_index);
      *position += 2;
      continue;
    }
    if (next != nullptr && next[0] != '-') {
      *argument = next;
      *position += 2;
    } else {
      ++*position;
    }
    return letter;
  }
  return letter_seen;
}
