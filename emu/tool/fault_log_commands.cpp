// fault_log_commands.cpp - planning faults and reading or clearing the request log.
#include <cinttypes>
#include <cstdio>

#include "emu/fault_plan.h"
#include "emu/request_log.h"
#include "emu/wire_format.h"
#include "tool_commands.h"

namespace tool {

int FaultCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  if (args.Has("clear")) {
    if (args.Has("command") || args.Has("status") || args.Has("error") || args.Has("kill")) {
      args.Fail("--clear takes no other option");
      return kExitUsage;
    }
    return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
      s.faults.clear();
      std::printf("adapter %" PRIu32 ": no faults planned\n", index);
      return kExitOk;
    });
  }
  emu::Fault fault;
  if (!args.Has("command") || !emu::ParseCommand(args.Value("command").c_str(), &fault.command)) {
    args.Fail("expected --command with a command code or name (e.g. 4 or E2P_WRITE_BLOCK)");
    return kExitUsage;
  }
  if (args.Has("skip") && !ParseU32(args.Value("skip"), &fault.skip)) {
    args.Fail("bad --skip \"" + args.Value("skip") + "\"");
    return kExitUsage;
  }
  if (args.Has("count")) {
    uint32_t count = 0;
    if (args.Value("count") == "always") {
      fault.count = -1;
    } else if (ParseU32(args.Value("count"), &count) && count > 0) {
      fault.count = count;
    } else {
      args.Fail("bad --count \"" + args.Value("count") + "\" (1 or more, or always)");
      return kExitUsage;
    }
  }
  if (int{args.Has("status")} + int{args.Has("error")} + int{args.Has("kill")} != 1) {
    args.Fail("give exactly one of --status, --error and --kill");
    return kExitUsage;
  }
  fault.kind = args.Has("status")  ? emu::FaultKind::kStatus
               : args.Has("error") ? emu::FaultKind::kError
                                   : emu::FaultKind::kKill;
  const std::string value = fault.kind == emu::FaultKind::kKill
                                ? "15"
                                : args.Value(args.Has("status") ? "status" : "error");
  if (!ParseU32(value, &fault.value) ||
      (fault.kind == emu::FaultKind::kError && fault.value == 0)) {
    args.Fail("bad answer value \"" + value + "\"");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    s.faults.push_back(fault);
    std::printf("adapter %" PRIu32 ": fault %s\n", index, emu::FormatFault(fault).c_str());
    return kExitOk;
  });
}

// Prints the log (the lines of one adapter with --adapter), or empties the whole log.
int LogCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  if (!args.positional().empty()) {
    args.Fail("unexpected \"" + args.positional()[0] + "\"");
    return kExitUsage;
  }
  if (args.Has("clear")) {
    if (!emu::ClearLog(dir)) return Report(kExitFailed, emu::LogPath(dir) + ": cannot be cleared");
    return kExitOk;
  }
  for (const emu::LogEntry& entry : emu::ReadLog(dir)) {
    if (args.Has("adapter") && entry.adapter != index) continue;
    std::printf("%s\n", emu::FormatLogEntry(entry).c_str());
  }
  return kExitOk;
}

}  // namespace tool
