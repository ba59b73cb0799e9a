// ini_loader_fuzz.cpp - libFuzzer target: any bytes as an INI file for the loader and the checks
// that follow it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "config/ini_loader.h"
#include "platform/console.h"

namespace {

class DiscardConsole : public Console {
 public:
  void Write(const char*, size_t) override {}
  int ReadChar() override { return -1; }
};

// One file per fuzzing process, so parallel jobs do not share it.
const std::string& InputPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() /
       ("qnt_ini_fuzz_" + std::to_string(std::random_device{}()) + ".ini"))
          .string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream file(InputPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  DeviceSettings settings;
  IniState state;
  DiscardConsole console;
  LoadIniFile(InputPath().c_str(), settings, state, console);
  CheckGpioWake(settings, console);
  ValidateIniSections(settings, state, console);
  return 0;
}
