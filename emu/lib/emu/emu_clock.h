// emu_clock.h - the emulator's clock. An adapter in virtual mode keeps its own time, which only
// the utility's sleeps advance, so flows with waits run at once and the same way every time; in
// real mode its time is the wall clock and sleeps are real.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

// The largest time a state holds, in either direction (about 285,000 years). A state file with a
// time beyond it is invalid, so sums and differences of two times and a delay never overflow.
constexpr int64_t kMaxTimeMs = int64_t{1} << 53;

// Milliseconds on |state|'s clock.
int64_t AdapterNowMs(const AdapterState& state);
// A sleep of |milliseconds| as |state| sees it: virtual time moves on (stopping at kMaxTimeMs);
// real time needs no help.
void AdvanceAdapterClock(AdapterState& state, uint32_t milliseconds);
// |time_ms| moved by |shift_ms|, kept within kMaxTimeMs either way.
int64_t ShiftTimeMs(int64_t time_ms, int64_t shift_ms);

int64_t WallClockMs();
// Microseconds of a monotonic clock, for the performance counter in real mode.
int64_t MonotonicMicroseconds();
void RealSleepMs(uint32_t milliseconds);

const char* ClockModeName(ClockMode mode);
bool ParseClockMode(const char* text, ClockMode* mode);

}  // namespace emu
