// stdio_console.cpp - standard output, flushed after every write so that prompts and progress
// lines show before the utility waits.
#include "platform/stdio_console.h"

#include <cstdio>

void StdioConsole::Write(const char* data, size_t length) {
  std::fwrite(data, 1, length, stdout);
  std::fflush(stdout);
}

int StdioConsole::ReadChar() {
  const int c = std::getchar();
  return c == EOF ? -1 : c;
}
