// machine.h - the emulated driver as one process sees it: the control device over the adapters
// of one emulator directory, their clock, the request log and fault injection.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "emu/adapter_state.h"
#include "emu/request_log.h"

namespace emu {

class Machine {
 public:
  explicit Machine(std::string directory);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // Opens the control device: loads every adapter of the directory. Returns 0, or
  // kErrorFileNotFound when there is no adapter, or kErrorAccessDenied when a state cannot be
  // read (|last_error()| then says which and why).
  uint32_t Open();
  // One exchange of the control code on the open device. Returns 0, or the system error with
  // which the call fails. |in| and |out| may be the same buffer. As with a buffered control
  // code, only the |*returned| bytes of the answer reach |out|.
  uint32_t Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                   uint32_t out_length, uint32_t* returned);
  // Writes out the request log, saves every adapter and closes the device. Returns false when a
  // state could not be written.
  bool Close();
  // Writes out the request log's lines gathered so far (they are otherwise written at Close).
  void FlushLog() { log_.Flush(); }
  bool is_open() const { return open_; }

  // The utility's sleep: virtual adapters' time moves on at once; if any adapter runs on real
  // time, the sleep is real.
  void SleepMs(uint32_t milliseconds);
  // Time that went by in a real wait outside the machine (a socket's on real sockets): virtual
  // adapters' time moves on by it as by a sleep; real ones have seen it already.
  void PassMs(uint32_t milliseconds);
  // Milliseconds on the clock of the lowest-numbered adapter loaded (or virtual time of the
  // machine's own when none is).
  int64_t NowMs() const;
  // True when the clock that NowMs follows is real.
  bool RealTime() const;

  const std::string& directory() const { return directory_; }
  const std::string& last_error() const { return last_error_; }
  // The loaded adapter |index|, or nullptr.
  AdapterState* Adapter(uint32_t index);
  // The loaded adapters by index; empty while the device is closed.
  std::map<uint32_t, AdapterState>& adapters() { return adapters_; }

 private:
  uint32_t Exchange(uint8_t* block, uint32_t in_length, uint32_t* returned, uint32_t* adapter);
  bool SaveAll();

  std::string directory_;
  std::string last_error_;
  bool open_ = false;
  std::map<uint32_t, AdapterState> adapters_;
  // Each adapter as its state file holds it, so that closing writes only what changed.
  std::map<uint32_t, AdapterState> stored_;
  int64_t own_time_ms_ = 0;
  RequestLog log_;  // open while the device is
};

}  // namespace emu
