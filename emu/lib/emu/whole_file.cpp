// whole_file.cpp - reading a file whole, the same on every system the emulator builds for.
#include <fstream>
#include <sstream>

#include "emu/atomic_file.h"

namespace emu {

bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return false;
  *contents = text.str();
  return true;
}

}  // namespace emu
