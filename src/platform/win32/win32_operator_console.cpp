// win32_operator_console.cpp - cursor moves through the console's screen buffer, Ctrl+C through a
// console control handler.
#include <windows.h>

#include <cstdio>

#include "platform/operator_console.h"

namespace {

class ConsoleBufferCursor : public ScreenCursor {
 public:
  void Up(int lines) override {
    std::fflush(stdout);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info)) {
      std::fputc('\r', stdout);
      return;
    }
    COORD position = info.dwCursorPosition;
    position.X = 0;
    position.Y = static_cast<SHORT>(position.Y > lines ? position.Y - lines : 0);
    SetConsoleCursorPosition(output, position);
  }
};

volatile LONG interrupted = 0;

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  InterlockedExchange(&interrupted, 1);
  return TRUE;
}

class ControlHandlerWatch : public InterruptWatch {
 public:
  ControlHandlerWatch() {
    InterlockedExchange(&interrupted, 0);
    SetConsoleCtrlHandler(OnControl, TRUE);
  }
  ~ControlHandlerWatch() override { SetConsoleCtrlHandler(OnControl, FALSE); }
  ControlHandlerWatch(const ControlHandlerWatch&) = delete;
  ControlHandlerWatch& operator=(const ControlHandlerWatch&) = delete;
  bool Requested() override { return InterlockedCompareExchange(&interrupted, 0, 0) != 0; }
};

}  // namespace

std::unique_ptr<ScreenCursor> CreateScreenCursor() {
  return std::make_unique<ConsoleBufferCursor>();
}

std::unique_ptr<InterruptWatch> WatchInterrupt() { return std::make_unique<ControlHandlerWatch>(); }
