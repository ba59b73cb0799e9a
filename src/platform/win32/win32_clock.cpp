// win32_clock.cpp - Sleep, GetTickCount and the performance counter.
#include "platform/win32/win32_clock.h"

#include <windows.h>

void Win32Clock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t Win32Clock::GetTickCount() { return ::GetTickCount(); }

bool Win32Clock::QueryPerformanceFrequency(int64_t* frequency) {
  LARGE_INTEGER counts;
  if (!::QueryPerformanceFrequency(&counts) || counts.QuadPart == 0) return false;
  *frequency = counts.QuadPart;
  return true;
}

int64_t Win32Clock::QueryPerformanceCounter() {
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}
