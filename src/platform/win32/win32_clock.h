// win32_clock.h - sleeps and clocks through kernel32.
#pragma once

#include "platform/clock.h"

class Win32Clock : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  uint32_t GetTickCount() override;
  bool QueryPerformanceFrequency(int64_t* frequency) override;
  int64_t QueryPerformanceCounter() override;
};
