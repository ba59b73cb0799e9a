// device_io.h - the device I/O control service: the controller driver's control device.
#pragma once

#include <cstdint>
#include <string>

// System error codes the callers tell apart; any other code is reported as a number.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorAccessDenied = 5;

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;

  // Opens |path| for reading and writing, shared, existing only. On failure returns false and
  // sets |*error| to the system error code.
  virtual bool Open(const char* path, uint32_t* error) = 0;
  // One synchronous I/O control exchange on the open device. |in| and |out| may be the same
  // buffer. On failure returns false and sets |*error| to the system error code.
  virtual bool Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                       uint32_t out_length, uint32_t* returned, uint32_t* error) = 0;
  // Closes the device if it is open.
  virtual void Close() = 0;
  // What the user can do about an Open that failed with |error|, ending in a line end, for
  // standard error; empty when the system has nothing to add.
  virtual std::string OpenFailureHint(uint32_t /*error*/) { return {}; }
};
