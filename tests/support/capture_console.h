// capture_console.h - a console for tests: output and the hints on standard error are collected
// apart, input comes from a given text.
#pragma once

#include <string>

#include "platform/console.h"

class CaptureConsole : public Console {
 public:
  void Write(const char* data, size_t length) override { output_.append(data, length); }
  void WriteDiagnostic(const char* data, size_t length) override {
    diagnostics_.append(data, length);
  }
  bool IsConsole(ConsoleStream /*stream*/) override { return is_console_; }
  int ReadChar() override {
    if (input_position_ >= input_.size()) return -1;
    return static_cast<unsigned char>(input_[input_position_++]);
  }

  void SetInput(std::string input) {
    input_ = std::move(input);
    input_position_ = 0;
  }
  // Whether the console answers that it is one, as a terminal does (the default), or not, as a
  // log file or a pipe does.
  void SetIsConsole(bool is_console) { is_console_ = is_console; }
  const std::string& output() const { return output_; }
  // The hints so far, which are then forgotten.
  std::string TakeDiagnostics() {
    std::string taken;
    taken.swap(diagnostics_);
    return taken;
  }
  // The output so far, which is then forgotten.
  std::string TakeOutput() {
    std::string taken;
    taken.swap(output_);
    return taken;
  }

 private:
  std::string output_;
  std::string diagnostics_;
  std::string input_;
  size_t input_position_ = 0;
  bool is_console_ = true;
};
