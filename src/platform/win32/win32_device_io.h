// win32_device_io.h - the controller driver's control device through kernel32.
#pragma once

#include <cstdint>

#include "platform/device_io.h"

class Win32DeviceIo : public DeviceIo {
 public:
  ~Win32DeviceIo() override { Close(); }
  bool Open(const char* path, uint32_t* error) override;
  bool Control(uint32_t code, const void* in, uint32_t in_length, void* out, uint32_t out_length,
               uint32_t* returned, uint32_t* error) override;
  void Close() override;
  // Without the control device the driver is missing, or the program lacks the rights to see it.
  std::string OpenFailureHint(uint32_t error) override;

 private:
  // The system's handle, held opaquely so that no header brings in <windows.h>; all ones (the
  // system's invalid handle value) while closed.
  uintptr_t handle_ = ~uintptr_t{0};
};
