// emu_clock.cpp - virtual and real time of the emulated adapters.
#include "emu/emu_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace emu {

int64_t AdapterNowMs(const AdapterState& state) {
  return state.clock == ClockMode::kReal ? WallClockMs() : state.time_ms;
}

void AdvanceAdapterClock(AdapterState& state, uint32_t milliseconds) {
  if (state.clock == ClockMode::kVirtual) state.time_ms = ShiftTimeMs(state.time_ms, milliseconds);
}

int64_t ShiftTimeMs(int64_t time_ms, int64_t shift_ms) {
  // Callers pass a time and a shift of at most a few kMaxTimeMs, so the sum cannot overflow.
  return std::clamp(time_ms + shift_ms, -kMaxTimeMs, kMaxTimeMs);
}

int64_t WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

int64_t MonotonicMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void RealSleepMs(uint32_t milliseconds) {
  timespec remaining{.tv_sec = static_cast<time_t>(milliseconds / 1000),
                     .tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

const char* ClockModeName(ClockMode mode) { return mode == ClockMode::kReal ? "real" : "virtual"; }

bool ParseClockMode(const char* text, ClockMode* mode) {
  if (std::strcmp(text, "virtual") == 0) {
    *mode = ClockMode::kVirtual;
  } else if (std::strcmp(text, "real") == 0) {
    *mode = ClockMode::kReal;
  } else {
    return false;
  }
  return true;
}

}  // namespace emu
