// console.cpp - the printf-style front of every console.
#include "platform/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Formats into a buffer of the text's own size and hands it to |write|.
template <typename Write>
void WriteFormatted(const char* format, va_list args, const Write& write) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof small) {
    write(small, static_cast<size_t>(length));
    return;
  }
  std::vector<char> large(static_cast<size_t>(length) + 1);
  std::vsnprintf(large.data(), large.size(), format, args);
  write(large.data(), static_cast<size_t>(length));
}

void WriteFormatted(Console& console, const char* format, va_list args) {
  WriteFormatted(format, args,
                 [&](const char* data, size_t length) { console.Write(data, length); });
}

}  // namespace

void Console::Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteFormatted(*this, format, args);
  va_end(args);
}

void Console::Print(const char* text) { Write(text, std::strlen(text)); }

void Console::Error(const char* format, ...) {
  Print("ERROR: ");
  va_list args;
  va_start(args, format);
  WriteFormatted(*this, format, args);
  va_end(args);
}

void Console::Warning(const char* format, ...) {
  Print("WARNING: ");
  va_list args;
  va_start(args, format);
  WriteFormatted(*this, format, args);
  va_end(args);
}

void Console::Diagnostic(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteFormatted(format, args,
                 [this](const char* data, size_t length) { WriteDiagnostic(data, length); });
  va_end(args);
}
