// mcu_commands.cpp - the PHY microcontroller as the host left it: its access control, the
// overlay table in place and whether it runs; and its memories as raw bytes.
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "emu/mcu_model.h"
#include "tool_commands.h"

namespace tool {
namespace {

const char* ControlName(uint32_t control) {
  switch (control) {
    case 0x00:
      return "released";
    case 0x80:
      return "host access, XDATA";
    case 0x81:
      return "host access, SFR";
    case 0x84:
      return "host access, XDATA auto-increment";
    case 0x86:
      return "host access, program memory auto-increment";
    default:
      return (control & 0x80) != 0 ? "host access, unknown space" : "released";
  }
}

}  // namespace

int McuCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  return WithAdapter(dir, index, false, [&](emu::AdapterState& s) {
    std::printf("adapter %" PRIu32 "\n", index);
    std::printf("  control        0x%02" PRIx32 " (%s)\n", s.mcu.control,
                ControlName(s.mcu.control));
    std::printf("  address        0x%04" PRIx32 "\n", s.mcu.address);
    std::printf("  overlay table  %s\n", emu::OverlayTableName(emu::OverlayInPlace(s.mcu)));
    std::printf("  mcu            %s\n", emu::McuRunning(s.mcu) ? "running" : "held");
    return kExitOk;
  });
}

bool IsMcuMemory(const std::string& name) {
  return name == "xdata" || name == "sfr" || name == "prog";
}

bool McuMemory(const emu::AdapterState& s, const std::string& name, std::vector<uint8_t>* bytes) {
  if (name == "xdata") {
    bytes->assign(emu::McuState::kXdataSize, 0);
    if (!s.mcu.xdata.empty()) bytes->assign(s.mcu.xdata.begin(), s.mcu.xdata.end());
  } else if (name == "sfr") {
    bytes->assign(s.mcu.sfr.begin(), s.mcu.sfr.end());
  } else if (name == "prog") {
    bytes->resize(emu::kMcuProgSize);
    for (size_t a = 0; a < bytes->size(); ++a) {
      (*bytes)[a] = emu::PeekProg(s.mcu, static_cast<uint32_t>(a));
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace tool
