// posix_operator_console.cpp - cursor moves as terminal escape sequences, Ctrl+C as SIGINT.
#include <signal.h>

#include <cstdio>

#include "platform/operator_console.h"

namespace {

class AnsiCursor : public ScreenCursor {
 public:
  void Up(int lines) override {
    if (lines > 0) std::fprintf(stdout, "\x1b[%dA", lines);
    std::fputc('\r', stdout);
    std::fflush(stdout);
  }
};

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int /*signal*/) { interrupted = 1; }

// SIGINT without SA_RESTART: a wait or a read in progress returns, and the program looks.
class SignalWatch : public InterruptWatch {
 public:
  SignalWatch() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~SignalWatch() override { sigaction(SIGINT, &previous_, nullptr); }
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;
  bool Requested() override { return interrupted != 0; }

 private:
  struct sigaction previous_ {};
};

}  // namespace

std::unique_ptr<ScreenCursor> CreateScreenCursor() { return std::make_unique<AnsiCursor>(); }

std::unique_ptr<InterruptWatch> WatchInterrupt() { return std::make_unique<SignalWatch>(); }
