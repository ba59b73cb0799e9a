// memory_runs.h - a large, mostly blank memory in the state file: only its runs of non-blank
// bytes, each as "<key> 0x<offset> <hex digits>" lines, so that a loaded firmware image costs
// two characters a byte and the blank rest nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>

namespace emu {

// Blank bytes are 0. A run ends at kRunGap blank bytes in a row; a line holds at most
// kRunLineBytes bytes.
constexpr size_t kRunGap = 8;
constexpr size_t kRunLineBytes = 1024;

void FormatRuns(std::ostringstream& out, const char* key, const uint8_t* bytes, size_t size);

}  // namespace emu
