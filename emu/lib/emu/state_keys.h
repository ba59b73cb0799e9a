// state_keys.h - the keys of the adapter state file, one row a key in the order a file holds
// them: each row reads its lines into an adapter's state and writes them from it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "emu/adapter_state.h"

namespace emu {

// The bytes a memory line gave: [first, end).
struct MemoryRange {
  size_t first = 0;
  size_t end = 0;
};

// A line of the file after its key.
struct StateLine {
  // Apart by blanks and tabs; not split for a memory's line, which reads |rest| itself.
  std::span<const std::string> words;
  std::string_view rest;  // everything after the key's blank
  // Where a memory's line tells the bytes it gave.
  MemoryRange* given = nullptr;
};

struct StateKey {
  // nullptr for the network lines, whose keys network_lines.h knows.
  const char* key;
  // The words a line of the key has; 0 when they vary (|parse| checks them).
  size_t words;
  // The bytes of a memory every file gives whole; 0 for any other key.
  size_t whole;
  // A memory's lines are most of a file: they are read from the text itself, never split into
  // words first.
  bool memory;
  // False when the value is bad or out of range; the file is then invalid.
  bool (*parse)(const StateLine& line, AdapterState& state);
  // Appends the key's lines, none when the state has nothing to say there.
  void (*format)(const StateKey& row, const AdapterState& state, std::string& out);
};

std::span<const StateKey> StateKeys();

}  // namespace emu
