// state_keys.h - the keys of the adapter state file, one row a key in the order a file holds
// them: each row reads its lines into an adapter's state and writes them from it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "emu/adapter_state.h"

namespace emu {

// A line of the file after its key.
struct StateLine {
  const std::vector<std::string>& words;  // apart by blanks and tabs
  const std::string& rest;                // everything after the key's blank
};

struct StateKey {
  // nullptr for the network lines, whose keys network_lines.h knows.
  const char* key;
  // The words a line of the key has; 0 when they vary (|parse| checks them).
  size_t words;
  // The bytes of a memory every file gives whole; 0 for any other key.
  size_t whole;
  // False when the value is bad or out of range; the file is then invalid.
  bool (*parse)(const StateLine& line, AdapterState& state);
  // Appends the key's lines, none when the state has nothing to say there.
  void (*format)(const StateKey& row, const AdapterState& state, std::string& out);
};

std::span<const StateKey> StateKeys();

}  // namespace emu
