// emu_directory.cpp - the emulator directory from the environment.
#include "emu/emu_directory.h"

#include <cstdlib>

namespace emu {

std::string EmuDirectoryFromEnvironment() {
  const char* explicit_dir = std::getenv("QNT5200_EMU_DIR");
  if (explicit_dir != nullptr && explicit_dir[0] != '\0') return explicit_dir;
  const char* state_home = std::getenv("XDG_STATE_HOME");
  if (state_home != nullptr && state_home[0] != '\0') {
    return std::string(state_home) + "/qnt5200-emu";
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.local/state/qnt5200-emu";
}

}  // namespace emu
