// text_console.h - a console that keeps what is written to it, for messages that must wait for
// the outcome they belong to before they are shown.
#pragma once

#include <string>

#include "platform/console.h"

class TextConsole : public Console {
 public:
  void Write(const char* data, size_t length) override { text_.append(data, length); }
  int ReadChar() override { return -1; }
  // Only messages are held back; a hint would have no place among them.
  void WriteDiagnostic(const char*, size_t) override {}
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};
