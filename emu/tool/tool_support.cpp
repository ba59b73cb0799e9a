// tool_support.cpp - loading and saving the adapter a tool command works on, and its messages.
#include <cstdio>

#include "emu/state_file.h"
#include "tool_commands.h"

namespace tool {

int Report(int code, const std::string& message) {
  std::fprintf(stderr, "qnt5200-emu: %s\n", message.c_str());
  return code;
}

int WithAdapter(const std::string& dir, uint32_t index, bool save,
                const std::function<int(emu::AdapterState&)>& change) {
  emu::AdapterState state;
  std::string error;
  if (emu::LoadAdapter(dir, index, &state, &error) != 0) return Report(kExitFailed, error);
  const int code = change(state);
  if (code != kExitOk || !save) return code;
  if (!emu::SaveAdapter(dir, state)) {
    return Report(kExitFailed, emu::AdapterPath(dir, index) + ": cannot be written");
  }
  return kExitOk;
}

}  // namespace tool
