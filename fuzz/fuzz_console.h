// fuzz_console.h - a console for the fuzz targets: output is dropped, input is at its end.
#pragma once

#include <cstddef>

#include "platform/console.h"

class DiscardConsole : public Console {
 public:
  void Write(const char*, size_t) override {}
  int ReadChar() override { return -1; }
  void WriteDiagnostic(const char*, size_t) override {}
};
