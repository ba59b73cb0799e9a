// scripted_device.h - a control device for unit tests that expects an exact script of requests:
// each request is checked against the next expectation (control code, input length, header and
// the data bytes the expectation sets) and answered from it. A differing request, a request past
// the end of the script and an expectation never used all fail the test, with a hex dump.
#pragma once

#include <cstdint>
#include <deque>
#include <source_location>
#include <vector>

#include "platform/device_io.h"
#include "support/request_bytes.h"

// The request a test expects: 4096 input bytes unless Length says otherwise.
class ExpectedRequest : public RequestFields<ExpectedRequest> {
 public:
  using RequestFields::RequestFields;
  ExpectedRequest& Length(uint32_t in_length) {
    in_length_ = in_length;
    return *this;
  }
  ExpectedRequest& Code(uint32_t control_code) {
    code_ = control_code;
    return *this;
  }
  uint32_t in_length() const { return in_length_; }
  uint32_t code() const { return code_; }
  bool any() const { return any_; }

  // A request whose bytes the test does not care about, for tests of how answers are taken:
  // only that it comes is checked.
  static ExpectedRequest Any() {
    ExpectedRequest request(0);
    request.any_ = true;
    return request;
  }

 private:
  uint32_t in_length_ = emu::kBlockSize;
  uint32_t code_ = emu::kControlCode;
  bool any_ = false;
};

// The answer to an expected request: the status word, data placed at offset 16, the
// returned-bytes count, or a failing control call with a system error code.
struct ScriptedAnswer {
  uint32_t status = 0;
  std::vector<uint8_t> data;
  uint32_t returned = emu::kBlockSize;
  uint32_t error = 0;  // nonzero: the control call fails with this code
};

class ScriptedDevice : public DeviceIo {
 public:
  ScriptedDevice() = default;
  ScriptedDevice(const ScriptedDevice&) = delete;
  ScriptedDevice& operator=(const ScriptedDevice&) = delete;
  // Fails the test when expectations are left over.
  ~ScriptedDevice() override;

  bool Open(const char*, uint32_t* error) override;
  bool Control(uint32_t code, const void* in, uint32_t in_length, void* out, uint32_t out_length,
               uint32_t* returned, uint32_t* error) override;
  void Close() override { ++closed_; }

  // A failure about this request is reported at the line that expected it.
  void Expect(const ExpectedRequest& request, ScriptedAnswer answer = {},
              std::source_location where = std::source_location::current());
  void FailOpen(uint32_t error) { open_error_ = error; }
  // Fails the test for each expectation not used yet, and forgets them.
  void ExpectScriptDone();

  int requests() const { return requests_; }
  int closed() const { return closed_; }

 private:
  struct Step {
    ExpectedRequest request;
    ScriptedAnswer answer;
    std::source_location where;
  };
  std::deque<Step> script_;
  int requests_ = 0;
  uint32_t open_error_ = 0;
  int closed_ = 0;
};

// Little-endian bytes of a 32-bit value, for scripted data.
inline std::vector<uint8_t> Le32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}
