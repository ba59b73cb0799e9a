// stdio_console.h - the console on the process's standard output, input and error.
#pragma once

#include "platform/console.h"

class StdioConsole : public Console {
 public:
  void Write(const char* data, size_t length) override;
  int ReadChar() override;
  void WriteDiagnostic(const char* data, size_t length) override;
  // Asks the system about the process's standard handle (in win32/ and emu/).
  bool IsConsole(ConsoleStream stream) override;
};
