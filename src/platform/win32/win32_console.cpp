// win32_console.cpp - whether standard output or error is a console. Only a console handle has a
// console mode: a file, a pipe and the NUL device (which the C runtime takes for a terminal) have
// none.
#include <windows.h>

#include "platform/stdio_console.h"

bool StdioConsole::IsConsole(ConsoleStream stream) {
  const HANDLE handle =
      GetStdHandle(stream == ConsoleStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}
