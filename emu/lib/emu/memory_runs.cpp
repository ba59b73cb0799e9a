// memory_runs.cpp - writing the non-blank runs of a memory.
#include "emu/memory_runs.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace emu {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// The end of the run that starts at |start| (a non-blank byte): the first of kRunGap blank bytes
// in a row, the end of the memory, or the line limit, whichever comes first.
size_t RunEnd(const uint8_t* bytes, size_t size, size_t start) {
  const size_t limit = std::min(size, start + kRunLineBytes);
  size_t end = start;
  size_t blanks = 0;
  for (size_t offset = start; offset < limit && blanks < kRunGap; ++offset) {
    if (bytes[offset] == 0) {
      ++blanks;
    } else {
      blanks = 0;
      end = offset + 1;
    }
  }
  return end;
}

}  // namespace

void FormatRuns(std::ostringstream& out, const char* key, const uint8_t* bytes, size_t size) {
  std::string line;
  size_t offset = 0;
  while (offset < size) {
    if (bytes[offset] == 0) {
      ++offset;
      continue;
    }
    const size_t end = RunEnd(bytes, size, offset);
    char head[32];
    std::snprintf(head, sizeof head, " 0x%04zx ", offset);
    line.assign(key).append(head);
    for (; offset < end; ++offset) {
      line += kHexDigits[bytes[offset] >> 4];
      line += kHexDigits[bytes[offset] & 0xF];
    }
    line += '\n';
    out << line;
  }
}

}  // namespace emu
