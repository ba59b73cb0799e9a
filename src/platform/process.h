// process.h - the process service: its id, the thread's last error, and libraries loaded at run
// time with their entry points.
#pragma once

#include <cstdint>

// A loaded library as the system numbers it.
using LibraryHandle = uint64_t;
constexpr LibraryHandle kNoLibrary = 0;

class Process {
 public:
  virtual ~Process() = default;

  virtual uint32_t Id() = 0;
  virtual uint32_t LastError() = 0;
  virtual void SetLastError(uint32_t error) = 0;
  // Loads the library |name|; kNoLibrary when it cannot be loaded.
  virtual LibraryHandle Load(const char* name) = 0;
  // The address of the entry point |name| of |library|, 0 when it has none.
  virtual uint64_t EntryPoint(LibraryHandle library, const char* name) = 0;
  virtual void Release(LibraryHandle library) = 0;
};
