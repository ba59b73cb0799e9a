// virtual_clock.h - a clock for unit tests: sleeping only moves the time on.
#pragma once

#include <vector>

#include "platform/clock.h"

class VirtualClock : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override {
    sleeps_.push_back(milliseconds);
    now_ms_ += milliseconds;
  }
  uint32_t GetTickCount() override { return static_cast<uint32_t>(now_ms_); }
  bool QueryPerformanceFrequency(int64_t* frequency) override {
    *frequency = 1000000;
    return true;
  }
  int64_t QueryPerformanceCounter() override { return now_ms_ * 1000; }

  const std::vector<uint32_t>& sleeps() const { return sleeps_; }

 private:
  int64_t now_ms_ = 0;
  std::vector<uint32_t> sleeps_;
};
