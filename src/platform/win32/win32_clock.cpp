// win32_clock.cpp - Sleep, GetTickCount and the performance counter.
#include "platform/win32/win32_clock.h"

#include <windows.h>

void Win32Clock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t Win32Clock::GetTickCount() { return ::GetTickCount(); }

int64_t Win32Clock::QueryPerformanceFrequency() {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int64_t Win32Clock::QueryPerformanceCounter() {
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}
