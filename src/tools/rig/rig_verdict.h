// rig_verdict.h - one exit code and one sentence for all the slots of a rig.
#pragma once

#include <string>
#include <vector>

#include "tools/rig/slot_state.h"

// A slot that started no run (an adapter the driver does not serve, a run that could not be
// started) counts as the utility's "no device".
constexpr int kRigNoRun = 1;
// The rig's own command line was refused, or its log folder could not be made.
constexpr int kRigBadCommandLine = 3;

// 0 when every slot ended with 0; else the code of the first slot, in the order given, that did
// not. |slots| holds the slots of every set, set after set.
int RigExitCode(const std::vector<SlotState>& slots);
// "All 4 runs ended with 0" or "1 of 4 runs did not end with 0: exit code 9, that of adapter 1".
std::string VerdictLine(const std::vector<SlotState>& slots);
