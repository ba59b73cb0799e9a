// rig_verdict.cpp - the rig's verdict over its slots.
#include "tools/rig/rig_verdict.h"

namespace {

const SlotState* FirstFailing(const std::vector<SlotState>& slots) {
  for (const SlotState& slot : slots) {
    if (!slot.started || slot.exit_code != 0) return &slot;
  }
  return nullptr;
}

int CodeOf(const SlotState& slot) {
  if (!slot.started) return kRigNoRun;
  return slot.exit_code;
}

}  // namespace

int RigExitCode(const std::vector<SlotState>& slots) {
  const SlotState* first = FirstFailing(slots);
  return first == nullptr ? 0 : CodeOf(*first);
}

std::string VerdictLine(const std::vector<SlotState>& slots) {
  const SlotState* first = FirstFailing(slots);
  const std::string runs = std::to_string(slots.size()) + (slots.size() == 1 ? " run" : " runs");
  if (first == nullptr) return "All " + runs + " ended with 0\n";
  size_t failing = 0;
  for (const SlotState& slot : slots) failing += !slot.started || slot.exit_code != 0 ? 1 : 0;
  return std::to_string(failing) + " of " + runs + " did not end with 0: exit code " +
         std::to_string(CodeOf(*first)) + ", that of adapter " + std::to_string(first->adapter) +
         "\n";
}
