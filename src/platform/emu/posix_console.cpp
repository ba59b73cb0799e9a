// posix_console.cpp - whether standard output or error is a terminal.
#include <unistd.h>

#include "platform/stdio_console.h"

bool StdioConsole::IsConsole(ConsoleStream stream) {
  return isatty(stream == ConsoleStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}
