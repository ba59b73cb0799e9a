// memory_runs.h - the memories in the state file: lines of "<key> 0x<offset> <hex bytes>". A small
// memory is written as lines of 32 bytes, a byte a word; a large, mostly blank one as its runs of
// non-blank bytes only, a run a word, so that a loaded firmware image costs two characters a byte
// and the blank rest nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// Blank bytes are 0. A run ends at kRunGap blank bytes in a row; a line holds at most
// kRunLineBytes bytes.
constexpr size_t kRunGap = 8;
constexpr size_t kRunLineBytes = 1024;

// Appends the lines of 32 bytes; with |skip_blank|, lines of blank bytes are left out.
void FormatByteLines(std::string& out, const char* key, const uint8_t* bytes, size_t size,
                     bool skip_blank);
// Appends the lines of the runs.
void FormatRuns(std::string& out, const char* key, const uint8_t* bytes, size_t size);
// Reads the words after a memory line's key, apart by blanks and tabs, its offset and then its
// bytes in hex (a word per byte, or runs of bytes in one word), into |bytes|, and the bytes it
// gave into [*first, *end); false when they do not fit or are not hex.
bool ParseMemoryLine(std::string_view text, uint8_t* bytes, size_t size, size_t* first,
                     size_t* end);

}  // namespace emu
