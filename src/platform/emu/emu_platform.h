// emu_platform.h - the services of a run against the emulated controller and driver: the
// control device and the clock of the adapters in one emulator directory, and a given console.
#pragma once

#include <string>

#include "emu/machine.h"
#include "platform/emu/emu_network.h"
#include "platform/platform.h"

// The control device as the emulated driver offers it.
class EmuDeviceIo : public DeviceIo {
 public:
  explicit EmuDeviceIo(emu::Machine& machine) : machine_(machine) {}
  // A run that found no adapter is told, on standard error and after all it printed, where the
  // emulator looked and how to make one.
  ~EmuDeviceIo() override;
  bool Open(const char* path, uint32_t* error) override;
  bool Control(uint32_t code, const void* in, uint32_t in_length, void* out, uint32_t out_length,
               uint32_t* returned, uint32_t* error) override;
  void Close() override;

 private:
  emu::Machine& machine_;
  bool no_adapter_ = false;
};

// Sleeps and clocks on the adapters' clock: virtual time moves on at once, real time is real.
class EmuClock : public Clock {
 public:
  explicit EmuClock(emu::Machine& machine) : machine_(machine) {}
  void Sleep(uint32_t milliseconds) override;
  uint32_t GetTickCount() override;
  bool QueryPerformanceFrequency(int64_t* frequency) override;
  int64_t QueryPerformanceCounter() override;

 private:
  emu::Machine& machine_;
  bool on_adapters_ = false;  // the tick count last followed the adapters' clock
  int64_t offset_ms_ = 0;     // added to the machine's time
  int64_t last_ms_ = 0;       // the tick count last returned
};

class EmuPlatform : public SystemPlatform {
 public:
  // The adapters of |directory|; |console| outlives the platform.
  EmuPlatform(std::string directory, Console& console);
  Platform& Services() override { return services_; }
  emu::Machine& machine() { return machine_; }
  // What the run's network tests left open or misused, one line each (EmuNetState::Problems).
  std::vector<std::string> NetworkProblems() const { return net_state_.Problems(); }

 private:
  emu::Machine machine_;
  EmuDeviceIo device_;
  EmuClock clock_;
  EmuNetState net_state_;
  EmuSockets sockets_;
  EmuNames names_;
  EmuIpHelper ip_helper_;
  EmuProcess process_;
  NetworkServices network_;
  Platform services_;
};
