// clocked_sockets.cpp - the waits of the host's sockets, passed on to the adapters' clock.
#include "platform/emu/clocked_sockets.h"

#include <algorithm>

#include "emu/emu_clock.h"

namespace {

constexpr int64_t kMicrosecondsPerMs = 1000;

// Real milliseconds since |start_us|, at most |limit_ms|.
uint32_t ElapsedMs(int64_t start_us, uint32_t limit_ms) {
  const int64_t elapsed = (emu::MonotonicMicroseconds() - start_us) / kMicrosecondsPerMs;
  return static_cast<uint32_t>(std::clamp<int64_t>(elapsed, 0, limit_ms));
}

}  // namespace

// A wait that ran out has taken its whole time on the adapters' clock, as on the emulated
// sockets, even when the system's timer woke it a little early: a deadline counted in such waits
// then comes after the same number of them on both builds.
bool ClockedSockets::WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) {
  const int64_t start = emu::MonotonicMicroseconds();
  const bool waited = inner_.WaitReadable(socket, timeout_ms, readable);
  machine_.PassMs(waited && !*readable ? timeout_ms : ElapsedMs(start, timeout_ms));
  return waited;
}

int ClockedSockets::ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity,
                                Ip4Address* from) {
  const int64_t start = emu::MonotonicMicroseconds();
  const int received = inner_.ReceiveFrom(socket, buffer, capacity, from);
  machine_.PassMs(ElapsedMs(start, UINT32_MAX));
  return received;
}
