// error_watch_console.h - a console that passes everything on and keeps what the run's record
// and results tell of its messages: each one it marked "ERROR: " or "WARNING: ", whether the run
// asked for an answer right after it, and the last line it printed without a marker.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

struct MarkedMessage {
  bool error = false;  // "ERROR: ", else "WARNING: "
  bool asked = false;  // a question: the run read its answer next
  // Without the marker and line ends. A message whose text starts on the next line has that
  // line; lines indented as far as the text after the marker continue it, joined by a blank.
  std::string text;
};

struct ConsoleMessages {
  std::vector<MarkedMessage> marked;  // in the order printed
  std::string last_plain_line;        // the last line with text and no marker
};

class ErrorWatchConsole : public Console {
 public:
  explicit ErrorWatchConsole(Console& inner) : inner_(inner) {}

  void Write(const char* data, size_t length) override;
  int ReadChar() override;
  void WriteDiagnostic(const char* data, size_t length) override {
    inner_.WriteDiagnostic(data, length);
  }
  bool IsConsole(ConsoleStream stream) override { return inner_.IsConsole(stream); }
  // The first message marked "ERROR: " (questions included); "" when none came.
  std::string first_error() const;
  // What the run printed so far; a line without its line end yet counts as ended.
  ConsoleMessages messages() const;

 private:
  // The messages and where a line would continue the last one.
  struct Scan {
    ConsoleMessages messages;
    size_t continued_indent = 0;  // the indent of a continuation line; 0 when none may follow
    size_t since_plain = 0;       // the first message after the last plain line
  };
  static void TakeLine(std::string_view line, Scan& scan);

  Console& inner_;
  Scan scan_;
  std::string line_;  // the line being written
};
