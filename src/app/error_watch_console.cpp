// error_watch_console.cpp - reading the run's output line by line for its marked messages.
#include "app/error_watch_console.h"

namespace {

struct Marker {
  std::string_view text;
  bool error;
};

constexpr Marker kMarkers[] = {{"ERROR: ", true}, {"WARNING: ", false}};

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') + 1 - first));
}

}  // namespace

void ErrorWatchConsole::Write(const char* data, size_t length) {
  inner_.Write(data, length);
  for (const char c : std::string_view(data, length)) {
    if (c != '\n' && c != '\r') {
      line_ += c;
      continue;
    }
    TakeLine(line_, scan_);
    line_.clear();
  }
}

// A question's messages come right before the answer is read; they tell the operator what the
// answer does rather than what went wrong.
int ErrorWatchConsole::ReadChar() {
  TakeLine(line_, scan_);
  line_.clear();
  std::vector<MarkedMessage>& marked = scan_.messages.marked;
  for (size_t i = scan_.since_plain; i < marked.size(); ++i) marked[i].asked = true;
  return inner_.ReadChar();
}

std::string ErrorWatchConsole::first_error() const {
  for (const MarkedMessage& message : messages().marked) {
    if (message.error && !message.text.empty()) return message.text;
  }
  return "";
}

ConsoleMessages ErrorWatchConsole::messages() const {
  Scan scan = scan_;
  TakeLine(line_, scan);
  return scan.messages;
}

// Line ends "\n\r" and blank lines carry nothing, so an empty line changes nothing.
void ErrorWatchConsole::TakeLine(std::string_view line, Scan& scan) {
  if (line.find_first_not_of(' ') == std::string_view::npos) return;
  std::vector<MarkedMessage>& marked = scan.messages.marked;
  for (const Marker& marker : kMarkers) {
    if (line.substr(0, marker.text.size()) != marker.text) continue;
    marked.push_back({.error = marker.error, .text = Trimmed(line.substr(marker.text.size()))});
    scan.continued_indent = marker.text.size();
    return;
  }
  if (scan.continued_indent != 0) {
    MarkedMessage& last = marked.back();
    if (last.text.empty()) {
      last.text = Trimmed(line);
      return;
    }
    if (line.find_first_not_of(' ') == scan.continued_indent) {
      last.text += ' ' + Trimmed(line);
      return;
    }
  }
  scan.messages.last_plain_line = Trimmed(line);
  scan.continued_indent = 0;
  scan.since_plain = marked.size();
}
