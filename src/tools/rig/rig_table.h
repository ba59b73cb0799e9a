// rig_table.h - the rig's tables as text: the live table of the slots (one row each, of one
// width, so that a redraw covers the row before), the line a change of stage is told with where
// nothing can be redrawn, and the summary of a set.
#pragma once

#include <string>
#include <vector>

#include "tools/rig/slot_state.h"

// The header and one line per slot, each ending in a line end.
std::string LiveTable(const std::vector<SlotState>& slots);
// "Adapter 2 (qnt5230): verifying, 0.4 s", with the identity once known; ends in a line end.
std::string ChangeLine(const SlotState& slot);
// The set's summary: slot, exit code, its meaning, identity, time.
std::string SummaryTable(const std::vector<SlotState>& slots);
// Seconds with one decimal: "12.3 s".
std::string SlotTime(int64_t milliseconds);
