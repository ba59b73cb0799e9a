// emu_platform.cpp - the device and clock services over the emulated driver.
#include "platform/emu/emu_platform.h"

#include <cstdio>
#include <cstring>

#include "emu/emu_clock.h"

namespace {

constexpr char kControlDeviceName[] = "\\\\.\\QNT5200_IOCTL";
constexpr int64_t kCounterFrequency = 1000000;  // the performance counter counts microseconds

}  // namespace

bool EmuDeviceIo::Open(const char* path, uint32_t* error) {
  if (std::strcmp(path, kControlDeviceName) != 0) {
    *error = kErrorFileNotFound;
    return false;
  }
  *error = machine_.Open();
  no_adapter_ = *error == kErrorFileNotFound;
  return *error == 0;
}

EmuDeviceIo::~EmuDeviceIo() {
  if (!no_adapter_) return;
  std::fprintf(stderr,
               "qnt5200-emu: no emulated adapter in %s; make one with \"qnt5200-emu create\" "
               "(the directory is $QNT5200_EMU_DIR, else $XDG_STATE_HOME/qnt5200-emu, else "
               "~/.local/state/qnt5200-emu)\n",
               machine_.directory().c_str());
}

bool EmuDeviceIo::Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                          uint32_t out_length, uint32_t* returned, uint32_t* error) {
  *error = machine_.Control(code, in, in_length, out, out_length, returned);
  return *error == 0;
}

// The emulated driver keeps what a run changed in its state files: a save that fails is said on
// standard error, as the driver's own complaint, so that the change is not lost without a word.
void EmuDeviceIo::Close() {
  if (!machine_.Close()) std::fprintf(stderr, "qnt5200-emu: %s\n", machine_.last_error().c_str());
}

void EmuClock::Sleep(uint32_t milliseconds) { machine_.SleepMs(milliseconds); }

// The machine's time follows its own clock until the control device is opened and the first
// adapter's from then on: the tick count goes on from where it stood, as a system's would.
uint32_t EmuClock::GetTickCount() {
  const bool on_adapters = !machine_.adapters().empty();
  const int64_t now = machine_.NowMs();
  if (on_adapters != on_adapters_) {
    offset_ms_ = last_ms_ - now;
    on_adapters_ = on_adapters;
  }
  last_ms_ = now + offset_ms_;
  return static_cast<uint32_t>(last_ms_);
}

bool EmuClock::QueryPerformanceFrequency(int64_t* frequency) {
  *frequency = kCounterFrequency;
  return true;
}

int64_t EmuClock::QueryPerformanceCounter() {
  return machine_.RealTime() ? emu::MonotonicMicroseconds() : machine_.NowMs() * 1000;
}

EmuPlatform::EmuPlatform(std::string directory, Console& console)
    : machine_(std::move(directory)),
      device_(machine_),
      clock_(machine_),
      net_state_(machine_),
      sockets_(net_state_),
      ip_helper_(net_state_),
      process_(net_state_),
      network_{sockets_, names_, ip_helper_, process_},
      services_{.console = console, .device = device_, .clock = clock_, .network = &network_} {}
