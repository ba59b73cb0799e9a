// network_lines.h - the network part of an adapter's state file: one line per field that is not
// at its default, one per peer and one per ARP entry.
#pragma once

#include <string>

#include "emu/network_state.h"

namespace emu {

enum class LineResult { kNotNetwork, kParsed, kBad };

// The lines, each ending in a line feed; empty for a network left at its defaults.
std::string FormatNetworkLines(const NetworkState& network);
// Parses one line's |key| and the |rest| after it into |network|.
LineResult ParseNetworkLine(const std::string& key, const std::string& rest, NetworkState* network);

}  // namespace emu
