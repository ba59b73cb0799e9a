// text_console.h - a console that keeps what is written to it, for messages that must wait for
// the outcome they belong to before they are shown.
#pragma once

#include <string>

#include "platform/console.h"

class TextConsole : public Console {
 public:
  void Write(const char* data, size_t length) override { text_.append(data, length); }
  int ReadChar() override { return -1; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};
