// stdio_console.cpp - standard output, flushed after every write so that prompts and messages
// show before the utility waits. A progress line (ending in a carriage return, overwritten by the
// next one) is the exception: a download prints one per byte, and flushing each would cost more
// than the request it reports; they show when the buffer fills or the next message is written.
#include "platform/stdio_console.h"

#include <cstdio>

void StdioConsole::Write(const char* data, size_t length) {
  std::fwrite(data, 1, length, stdout);
  if (length == 0 || data[length - 1] != '\r') std::fflush(stdout);
}

int StdioConsole::ReadChar() {
  std::fflush(stdout);
  const int c = std::getchar();
  return c == EOF ? -1 : c;
}

// After all that went to standard output so far, so that a hint follows the message it belongs
// to on a console that shows both.
void StdioConsole::WriteDiagnostic(const char* data, size_t length) {
  std::fflush(stdout);
  std::fwrite(data, 1, length, stderr);
}
