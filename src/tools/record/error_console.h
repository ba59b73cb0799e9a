// error_console.h - a console on standard error, for the INI loader's messages: standard output
// carries the report alone, so that a JSON document stays one document.
#pragma once

#include "platform/console.h"

class ErrorConsole : public Console {
 public:
  void Write(const char* data, size_t length) override;
  int ReadChar() override { return -1; }  // the tool asks no question
  void WriteDiagnostic(const char* data, size_t length) override { Write(data, length); }
};
