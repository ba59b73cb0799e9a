// stdio_console.h - the console of a process: standard output and standard input.
#pragma once

#include "platform/console.h"

class StdioConsole : public Console {
 public:
  // Written through and flushed, so output and prompts appear in order with any child output.
  void Write(const char* data, size_t length) override;
  int ReadChar() override;
};
