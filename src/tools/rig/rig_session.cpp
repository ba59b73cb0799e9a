// rig_session.cpp - the sets of a rig, the operator's word between them, and the verdict.
#include "tools/rig/rig_session.h"

#include <nlohmann/json.hpp>

#include "tools/rig/rig_table.h"
#include "tools/rig/rig_verdict.h"

namespace {

nlohmann::json TextOrNull(const std::string& text) {
  return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

nlohmann::json SlotDocument(const SlotState& slot, const std::string& folder,
                            const std::string& run_document) {
  nlohmann::json run = nlohmann::json::parse(run_document, nullptr, false);
  if (run.is_discarded()) run = nullptr;
  return {{"adapter", slot.adapter},
          {"chip", TextOrNull(slot.chip)},
          {"stage", StageText(slot)},
          {"started", slot.started},
          {"exit_code", slot.started ? slot.exit_code : kRigNoRun},
          {"exit_meaning", SlotMeaning(slot)},
          {"signal", slot.signal != 0 ? nlohmann::json(slot.signal) : nlohmann::json()},
          {"mac_address", TextOrNull(slot.mac_address)},
          {"serial_number", TextOrNull(slot.serial_number)},
          {"duration_ms", slot.started ? nlohmann::json(slot.duration_ms) : nlohmann::json()},
          {"log", slot.started
                      ? nlohmann::json(folder + "/adapter-" + std::to_string(slot.adapter) + ".log")
                      : nlohmann::json()},
          {"run", run}};
}

// Whether the operator asks for another set: Enter does, q or the end of the input does not.
bool NextSetWanted(const RigPlan& plan, RigServices& services) {
  RigSay(plan, services, "Put the next boards in and press Enter, or q and Enter to stop: ");
  std::string line;
  for (;;) {
    const int c = services.console.ReadChar();
    if (c < 0 || services.interrupt.Requested()) {
      RigSay(plan, services, "\n");
      return false;
    }
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line.find_first_of("qQ") == std::string::npos;
}

}  // namespace

int RunRigSession(const RigPlan& plan, bool repeat, bool document, RigServices& services) {
  std::vector<SlotState> all;
  nlohmann::json sets = nlohmann::json::array();
  int exit_code = 0;
  for (;;) {
    std::string folder;
    std::string why;
    if (!MakeSetFolder(&folder, &why)) {
      RigSay(plan, services, "ERROR: the log folder could not be made: " + why + "\n");
      exit_code = all.empty() ? kRigBadCommandLine : RigExitCode(all);
      break;
    }
    RigSay(plan, services,
           std::string("Set ") + std::to_string(sets.size() + 1) + ": logs in " + folder + "\n");
    const SetResult set = RunRigSet(plan, folder, services);
    RigSay(plan, services, std::string("\n") + SummaryTable(set.slots) + VerdictLine(set.slots));
    nlohmann::json slots = nlohmann::json::array();
    for (size_t index = 0; index < set.slots.size(); ++index) {
      slots.push_back(SlotDocument(set.slots[index], folder, set.documents[index]));
    }
    sets.push_back({{"folder", folder}, {"exit_code", RigExitCode(set.slots)}, {"slots", slots}});
    all.insert(all.end(), set.slots.begin(), set.slots.end());
    exit_code = RigExitCode(all);
    if (!repeat || services.interrupt.Requested() || !NextSetWanted(plan, services)) break;
  }
  if (sets.size() > 1) {
    RigSay(plan, services, std::to_string(sets.size()) + " sets: " + VerdictLine(all));
  }
  if (document) {
    const nlohmann::json whole = {{"schema_version", 1}, {"exit_code", exit_code}, {"sets", sets}};
    const std::string text = whole.dump(2) + "\n";
    services.console.Write(text.data(), text.size());
  }
  return exit_code;
}
