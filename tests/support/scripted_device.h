// scripted_device.h - a control device for unit tests: it records every request and answers
// each from a script, so a test can check the exact bytes the utility sends.
#pragma once

#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "driver/request_block.h"
#include "platform/device_io.h"

struct SentRequest {
  uint32_t code = 0;
  uint32_t in_length = 0;
  std::vector<uint8_t> input;  // the first in_length bytes of the block

  uint32_t Word(size_t offset) const {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | input.at(offset + i);
    return value;
  }
  uint16_t Half(size_t offset) const {
    return static_cast<uint16_t>(input.at(offset) | input.at(offset + 1) << 8);
  }
  uint32_t command() const { return Word(kOffsetCommand); }
};

// One scripted answer: the status word, data placed at offset 16, the returned-bytes count, or
// a failing control call with a system error code.
struct ScriptedAnswer {
  uint32_t status = 0;
  std::vector<uint8_t> data;
  uint32_t returned = kRequestBlockSize;
  uint32_t error = 0;  // nonzero: the control call fails with this code
};

class ScriptedDevice : public DeviceIo {
 public:
  bool Open(const char*, uint32_t* error) override {
    if (open_error_ != 0) {
      *error = open_error_;
      return false;
    }
    return true;
  }
  bool Control(uint32_t code, const void* in, uint32_t in_length, void* out, uint32_t,
               uint32_t* returned, uint32_t* error) override {
    const auto* bytes = static_cast<const uint8_t*>(in);
    sent_.push_back({code, in_length, std::vector<uint8_t>(bytes, bytes + in_length)});
    ScriptedAnswer answer;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    if (answer.error != 0) {
      *error = answer.error;
      return false;
    }
    auto* block = static_cast<uint8_t*>(out);
    for (int i = 0; i < 4; ++i) block[kOffsetAdapterStatus + i] = (answer.status >> (8 * i)) & 0xFF;
    if (!answer.data.empty())
      std::memcpy(block + kOffsetData, answer.data.data(), answer.data.size());
    *returned = answer.returned;
    return true;
  }
  void Close() override { ++closed_; }

  void Answer(ScriptedAnswer answer) { answers_.push_back(std::move(answer)); }
  void FailOpen(uint32_t error) { open_error_ = error; }
  const std::vector<SentRequest>& sent() const { return sent_; }
  int closed() const { return closed_; }

 private:
  std::deque<ScriptedAnswer> answers_;
  std::vector<SentRequest> sent_;
  uint32_t open_error_ = 0;
  int closed_ = 0;
};

// Little-endian bytes of a 32-bit value, for scripted data.
inline std::vector<uint8_t> Le32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}
