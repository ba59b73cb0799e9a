// ini_loader_fuzz.cpp - libFuzzer target: any bytes as INI text for the loader and the checks
// that follow it. The text is loaded from memory, as the file loader walks it.
#include <cstddef>
#include <cstdint>

#include "config/ini_loader.h"
#include "fuzz_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DeviceSettings settings;
  IniState state;
  DiscardConsole console;
  LoadIniText("fuzz.ini", reinterpret_cast<const char*>(data), size, settings, state, console);
  CheckGpioWake(settings, console);
  ValidateIniSections(settings, state, console);
  return 0;
}
