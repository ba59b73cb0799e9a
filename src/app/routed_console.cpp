// routed_console.cpp - holding the text until its stream is chosen, then passing it on.
#include "app/routed_console.h"

void RoutedConsole::Write(const char* data, size_t length) {
  if (!routed_) {
    waiting_.push_back({.diagnostic = false, .text = std::string(data, length)});
  } else if (to_error_) {
    console_.WriteDiagnostic(data, length);
  } else {
    console_.Write(data, length);
  }
}

void RoutedConsole::WriteDiagnostic(const char* data, size_t length) {
  if (!routed_) {
    waiting_.push_back({.diagnostic = true, .text = std::string(data, length)});
  } else {
    console_.WriteDiagnostic(data, length);
  }
}

bool RoutedConsole::IsConsole(ConsoleStream stream) {
  return console_.IsConsole(to_error_ ? ConsoleStream::kError : stream);
}

int RoutedConsole::ReadChar() {
  Route(false);  // nothing asks before the routing; a question that did would show at once
  return console_.ReadChar();
}

void RoutedConsole::Route(bool to_error) {
  if (routed_) return;
  routed_ = true;
  to_error_ = to_error;
  for (const Waiting& piece : waiting_) {
    if (piece.diagnostic) {
      WriteDiagnostic(piece.text.data(), piece.text.size());
    } else {
      Write(piece.text.data(), piece.text.size());
    }
  }
  waiting_.clear();
}
