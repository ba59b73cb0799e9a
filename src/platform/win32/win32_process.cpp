// win32_process.cpp - process id, last error and run-time library loading through kernel32.
#include <windows.h>

#include "platform/win32/win32_network.h"

uint32_t Win32Process::Id() { return GetCurrentProcessId(); }

uint32_t Win32Process::LastError() { return GetLastError(); }

void Win32Process::SetLastError(uint32_t error) { ::SetLastError(error); }

LibraryHandle Win32Process::Load(const char* name) {
  return reinterpret_cast<LibraryHandle>(LoadLibraryA(name));
}

uint64_t Win32Process::EntryPoint(LibraryHandle library, const char* name) {
  return reinterpret_cast<uint64_t>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void Win32Process::Release(LibraryHandle library) {
  FreeLibrary(reinterpret_cast<HMODULE>(library));
}
