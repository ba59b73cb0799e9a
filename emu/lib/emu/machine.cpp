// machine.cpp - the control device: routing a request to its adapter, faults, the log, saving.
#include "emu/machine.h"

#include <algorithm>
#include <csignal>
#include <cstring>

#include "emu/emu_clock.h"
#include "emu/fault_plan.h"
#include "emu/request_handler.h"
#include "emu/state_file.h"
#include "emu/wire_format.h"

namespace emu {

Machine::Machine(std::string directory) : directory_(std::move(directory)) {}

Machine::~Machine() {
  if (open_) Close();
}

uint32_t Machine::Open() {
  if (open_) return 0;
  std::map<uint32_t, AdapterState> loaded;
  for (uint32_t index : ListAdapters(directory_)) {
    AdapterState state;
    const uint32_t error = LoadAdapter(directory_, index, &state, &last_error_);
    if (error != 0) return error;
    loaded.emplace(index, std::move(state));
  }
  if (loaded.empty()) {
    last_error_ = directory_ + ": no emulated adapters";
    return kErrorFileNotFound;
  }
  stored_ = loaded;
  adapters_ = std::move(loaded);
  log_.Open(directory_);  // a log that cannot be written does not stop the driver
  open_ = true;
  return 0;
}

bool Machine::Close() {
  if (!open_) return true;
  open_ = false;
  log_.Close();
  return SaveAll();
}

bool Machine::SaveAll() {
  bool saved = true;
  for (const auto& [index, state] : adapters_) {
    AdapterState& stored = stored_[index];
    if (state == stored) continue;
    if (!SaveAdapter(directory_, state)) {
      last_error_ = AdapterPath(directory_, index) + ": cannot be written";
      saved = false;
      continue;
    }
    stored = state;
  }
  return saved;
}

AdapterState* Machine::Adapter(uint32_t index) {
  const auto found = adapters_.find(index);
  return found == adapters_.end() ? nullptr : &found->second;
}

void Machine::SleepMs(uint32_t milliseconds) {
  PassMs(milliseconds);
  const bool real = std::any_of(adapters_.begin(), adapters_.end(), [](const auto& adapter) {
    return adapter.second.clock == ClockMode::kReal;
  });
  if (real) RealSleepMs(milliseconds);
}

void Machine::PassMs(uint32_t milliseconds) {
  for (auto& [index, state] : adapters_) AdvanceAdapterClock(state, milliseconds);
  if (adapters_.empty()) own_time_ms_ += milliseconds;
}

int64_t Machine::NowMs() const {
  if (adapters_.empty()) return own_time_ms_;
  return AdapterNowMs(adapters_.begin()->second);
}

bool Machine::RealTime() const {
  return !adapters_.empty() && adapters_.begin()->second.clock == ClockMode::kReal;
}

uint32_t Machine::Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                          uint32_t out_length, uint32_t* returned) {
  *returned = 0;
  if (!open_) return kErrorInvalidHandle;
  if (code != kControlCode) return kErrorInvalidFunction;
  // The driver works on its own copy of the block, as with a buffered transfer: the input, and
  // zeros after it.
  uint8_t block[kBlockSize];
  const uint32_t copied = in == nullptr ? 0 : std::min(in_length, kBlockSize);
  if (copied != 0) std::memcpy(block, in, copied);
  std::memset(block + copied, 0, kBlockSize - copied);
  LogEntry entry{.command = Load32(block + kFieldCommand),
                 .in_length = in_length,
                 .signature = Load32(block + kFieldSignature),
                 .adapter = 0,
                 .parameter = Load32(block + kFieldParameter),
                 .data = Load32(block + kFieldData)};
  uint32_t answered = 0;
  uint32_t error = 0;
  if (in == nullptr || out == nullptr || in_length < kHeaderSize || in_length > kBlockSize ||
      out_length < kBlockSize) {
    error = kErrorInvalidParameter;
  } else {
    error = Exchange(block, in_length, &answered, &entry.adapter);
  }
  entry.failed = error != 0;
  entry.error = error;
  entry.status = Load32(block + kFieldAdapterStatus);
  entry.returned = answered;
  log_.Append(entry);
  if (error != 0) return error;
  std::memcpy(out, block, answered);
  *returned = answered;
  return 0;
}

uint32_t Machine::Exchange(uint8_t* block, uint32_t in_length, uint32_t* returned,
                           uint32_t* adapter) {
  const uint32_t signature = Load32(block + kFieldSignature);
  if (signature == kSignatureAdapterZero) {
    *adapter = 0;
  } else if (signature == kSignatureIndexed) {
    *adapter = Load32(block + kFieldAdapterStatus);
  } else {
    *adapter = Load32(block + kFieldAdapterStatus);
    return kErrorInvalidParameter;
  }
  AdapterState* state = Adapter(*adapter);
  if (state == nullptr) return kErrorFileNotFound;

  Fault fault;
  if (TakeFault(state->faults, Load32(block + kFieldCommand), &fault)) {
    if (fault.kind == FaultKind::kError) return fault.value;
    if (fault.kind == FaultKind::kKill) {
      // The spent fault is kept, so that the next run meets the board, not the fault again.
      SaveAdapter(directory_, *state);
      std::raise(SIGTERM);
    }
    Store32(block + kFieldAdapterStatus, fault.value);
    *returned = kHeaderSize;
    return 0;
  }
  const HandlerResult result = HandleRequest(*state, block, in_length, AdapterNowMs(*state));
  if (result.error != 0) return result.error;
  if (result.nonvolatile_changed) {
    if (!SaveAdapter(directory_, *state)) {
      last_error_ = AdapterPath(directory_, *adapter) + ": cannot be written";
      return kErrorAccessDenied;
    }
    stored_[*adapter] = *state;
  }
  *returned = result.returned;
  return 0;
}

}  // namespace emu
