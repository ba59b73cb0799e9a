// win32_station.cpp - the station's name from the computer name.
#include <windows.h>

#include "platform/station.h"

std::string StationName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return "";
  return std::string(name, size);
}
