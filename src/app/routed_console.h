// routed_console.h - the console of a run: its text goes to standard output, or to standard error
// when standard output carries the run's results document. Which one is known only once the
// command line was read, so what is printed before (the banner, the parser's messages) waits.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"

class RoutedConsole : public Console {
 public:
  explicit RoutedConsole(Console& console) : console_(console) {}

  void Write(const char* data, size_t length) override;
  int ReadChar() override;
  void WriteDiagnostic(const char* data, size_t length) override;
  // The text's stream is standard error once routed there.
  bool IsConsole(ConsoleStream stream) override;

  // Sends what waits, and all text after it, to standard error when |to_error|, else to standard
  // output. The hints go to standard error either way.
  void Route(bool to_error);

 private:
  struct Waiting {
    bool diagnostic;
    std::string text;
  };

  Console& console_;
  bool routed_ = false;
  bool to_error_ = false;
  std::vector<Waiting> waiting_;  // in the order written
};
