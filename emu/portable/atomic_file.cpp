// atomic_file.cpp - temporary file and rename with the standard library alone, for builds of the
// emulator on systems without POSIX files (the Windows test build run under Wine). The rename
// replaces the target there too.
#include "emu/atomic_file.h"

#include <filesystem>
#include <fstream>

namespace emu {

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

}  // namespace emu
