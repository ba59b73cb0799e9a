// emu_directory.h - where the emulated adapters live when the caller does not say: the directory
// named by QNT5200_EMU_DIR, else $XDG_STATE_HOME/qnt5200-emu, else ~/.local/state/qnt5200-emu.
// Only the emulation platform and the tool ask; the library itself is always given a directory.
#pragma once

#include <string>

namespace emu {

std::string EmuDirectoryFromEnvironment();

}  // namespace emu
