// emu_clock.h - the emulator's clock. An adapter in virtual mode keeps its own time, which only
// the utility's sleeps advance, so flows with waits run at once and the same way every time; in
// real mode its time is the wall clock and sleeps are real.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

// Milliseconds on |state|'s clock.
int64_t AdapterNowMs(const AdapterState& state);
// A sleep of |milliseconds| as |state| sees it: virtual time moves on; real time needs no help.
void AdvanceAdapterClock(AdapterState& state, uint32_t milliseconds);

int64_t WallClockMs();
// Microseconds of a monotonic clock, for the performance counter in real mode.
int64_t MonotonicMicroseconds();
void RealSleepMs(uint32_t milliseconds);

const char* ClockModeName(ClockMode mode);
bool ParseClockMode(const char* text, ClockMode* mode);

}  // namespace emu
