// error_watch_console.h - a console that passes everything on and keeps the first error message
// a run printed, for the record's line of a run that did not succeed.
#pragma once

#include <string>

#include "platform/console.h"

class ErrorWatchConsole : public Console {
 public:
  explicit ErrorWatchConsole(Console& inner) : inner_(inner) {}

  void Write(const char* data, size_t length) override;
  int ReadChar() override { return inner_.ReadChar(); }
  void WriteDiagnostic(const char* data, size_t length) override {
    inner_.WriteDiagnostic(data, length);
  }
  bool IsConsole(ConsoleStream stream) override { return inner_.IsConsole(stream); }
  // The message after the first "ERROR: " marker, without its line end; "" when none came.
  const std::string& first_error() const { return first_error_; }

 private:
  Console& inner_;
  std::string first_error_;
  bool after_marker_ = false;
};
