// win32_device_io.cpp - CreateFileA, DeviceIoControl and CloseHandle on the control device.
#include "platform/win32/win32_device_io.h"

#include <windows.h>

namespace {

HANDLE Native(uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

bool Win32DeviceIo::Open(const char* path, uint32_t* error) {
  Close();
  const HANDLE handle =
      CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = reinterpret_cast<uintptr_t>(handle);
  if (handle == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  return true;
}

bool Win32DeviceIo::Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                            uint32_t out_length, uint32_t* returned, uint32_t* error) {
  DWORD count = 0;
  // The driver takes the same buffer as input and output; its input is never written through
  // this pointer by the system.
  if (!DeviceIoControl(Native(handle_), code, const_cast<void*>(in), in_length, out, out_length,
                       &count, nullptr)) {
    *error = GetLastError();
    return false;
  }
  *returned = count;
  return true;
}

std::string Win32DeviceIo::OpenFailureHint(uint32_t error) {
  if (error != kErrorFileNotFound) return {};
  return "The controller's driver must be installed (its control device \\\\.\\QNT5200_IOCTL "
         "was not found), and this program run as administrator: from a command prompt opened "
         "with \"Run as administrator\".\n";
}

void Win32DeviceIo::Close() {
  if (Native(handle_) != INVALID_HANDLE_VALUE) {
    CloseHandle(Native(handle_));
    handle_ = reinterpret_cast<uintptr_t>(INVALID_HANDLE_VALUE);
  }
}
