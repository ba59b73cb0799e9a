// request_faults.cpp - planning one fault of a sweep as emulator faults counted per command.
#include "support/request_faults.h"

#include <map>
#include <set>

namespace {

constexpr uint32_t kFaultError = 31;  // ERROR_GEN_DEVICE_NOT_FUNCTIONING

}  // namespace

const char* RequestFaultName(RequestFault fault) {
  switch (fault) {
    case RequestFault::kStatus:
      return "status 1";
    case RequestFault::kError:
      return "control call error";
    case RequestFault::kNoEffect:
      return "success that does nothing";
    case RequestFault::kDeadFromHere:
      return "successes that do nothing from here on";
  }
  return "";
}

void PlanRequestFault(EmuBench& bench, const std::vector<uint32_t>& commands, size_t position,
                      RequestFault fault) {
  std::map<uint32_t, uint32_t> before;
  for (size_t i = 0; i < position; ++i) ++before[commands[i]];
  const uint32_t command = commands[position];
  switch (fault) {
    case RequestFault::kStatus:
      bench.FailStatus(command, 1, before[command]);
      return;
    case RequestFault::kError:
      bench.FailCall(command, kFaultError, before[command]);
      return;
    case RequestFault::kNoEffect:
      bench.FailStatus(command, 0, before[command]);
      return;
    case RequestFault::kDeadFromHere: {
      std::set<uint32_t> planned;
      for (size_t i = position; i < commands.size(); ++i) {
        if (planned.insert(commands[i]).second) {
          bench.FailStatus(commands[i], 0, before[commands[i]], -1);
        }
      }
      return;
    }
  }
}

std::vector<uint32_t> LoggedCommands(const EmuBench& bench) {
  std::vector<uint32_t> commands;
  for (const emu::LogEntry& entry : bench.Log()) commands.push_back(entry.command);
  return commands;
}
