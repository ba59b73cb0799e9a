// memory_runs.cpp - writing and reading the memory lines of the state file.
#include "emu/memory_runs.h"

#include <algorithm>
#include <cstdio>

#include "emu/state_checks.h"
#include "emu/text_codec.h"

namespace emu {
namespace {

constexpr size_t kBytesPerLine = 32;
constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string& line, uint8_t byte) {
  line += kHexDigits[byte >> 4];
  line += kHexDigits[byte & 0xF];
}

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

// Written digit by digit: these lines are most of the file, and every run reads and writes it.
void FormatByteLines(std::string& out, const char* key, const uint8_t* bytes, size_t size,
                     bool skip_blank) {
  for (size_t offset = 0; offset < size; offset += kBytesPerLine) {
    const size_t count = std::min(kBytesPerLine, size - offset);
    if (skip_blank &&
        std::all_of(bytes + offset, bytes + offset + count, [](uint8_t b) { return b == 0; })) {
      continue;
    }
    char head[32];
    std::snprintf(head, sizeof head, " 0x%03zx", offset);
    out.append(key).append(head);
    for (size_t i = 0; i < count; ++i) {
      out += ' ';
      AppendHex(out, bytes[offset + i]);
    }
    out += '\n';
  }
}

void FormatRuns(std::string& out, const char* key, const uint8_t* bytes, size_t size) {
  size_t offset = 0;
  while (offset < size) {
    if (bytes[offset] == 0) {
      ++offset;
      continue;
    }
    const size_t end = RunEnd(bytes, size, offset);
    char head[32];
    std::snprintf(head, sizeof head, " 0x%04zx ", offset);
    out.append(key).append(head);
    for (; offset < end; ++offset) AppendHex(out, bytes[offset]);
    out += '\n';
  }
}

bool ParseMemoryLine(std::string_view text, uint8_t* bytes, size_t size, size_t* first,
                     size_t* end) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  const size_t after = std::min(text.find_first_of(" \t", start), text.size());
  uint64_t offset = 0;
  size_t count = 0;
  if (!ParseUnsigned(std::string(text.substr(start, after - start)), size, &offset) ||
      !DecodeHexWords(text.substr(after), bytes + offset, size - offset, &count) || count == 0) {
    return false;
  }
  *first = offset;
  *end = offset + count;
  return true;
}

}  // namespace emu
