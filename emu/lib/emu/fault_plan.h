// fault_plan.h - faults waiting in an adapter's state: which request of which command they hit
// and what it answers instead.
#pragma once

#include <string>
#include <vector>

#include "emu/adapter_state.h"

namespace emu {

// Counts the request of |command| against the first fault planned for it. True when that fault
// hits this request; |*hit| then says what to answer. Spent faults are removed.
bool TakeFault(std::vector<Fault>& faults, uint32_t command, Fault* hit);

// "cmd=<C> skip=<N> count=<K|always> status=<S>" (or error=<E>), as the state file and the tool
// show it.
std::string FormatFault(const Fault& fault);
bool ParseFault(const std::string& text, Fault* fault);

}  // namespace emu
