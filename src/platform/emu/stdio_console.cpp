// stdio_console.cpp - console output and input over the C standard streams.
#include "platform/emu/stdio_console.h"

#include <cstdio>

void StdioConsole::Write(const char* data, size_t length) {
  std::fwrite(data, 1, length, stdout);
  std::fflush(stdout);
}

int StdioConsole::ReadChar() {
  const int c = std::getchar();
  return c == EOF ? -1 : c;
}
