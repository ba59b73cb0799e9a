// clock.h - the sleeps and clocks service: fixed waits, the tick count, the performance counter.
#pragma once

#include <cstdint>

class Clock {
 public:
  virtual ~Clock() = default;

  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since an arbitrary start; wraps at 2^32.
  virtual uint32_t GetTickCount() = 0;
  // Counts per second of the performance counter. Returns false, leaving |frequency| alone, when
  // the system cannot tell it.
  virtual bool QueryPerformanceFrequency(int64_t* frequency) = 0;
  virtual int64_t QueryPerformanceCounter() = 0;
};
