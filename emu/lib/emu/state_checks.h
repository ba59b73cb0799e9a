// state_checks.h - what makes a hand-edited or damaged state file invalid instead of loading it
// half right: numbers beyond their field, times the clock arithmetic cannot hold, and memories
// that must be there whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// A number in any base strtoull reads (0x hexadecimal, 0 octal, decimal), no sign, up to |limit|.
bool ParseUnsigned(const std::string& text, uint64_t limit, uint64_t* value);
// A time field: a decimal number of milliseconds within kMaxTimeMs either way.
bool ParseTimeMs(const std::string& text, int64_t* value);

// The bytes that the lines of the memories a state file holds whole gave, so that a file cut
// short (or missing a line) is found out rather than read as blank memory.
class WholeMemories {
 public:
  // The memory of |key| must be given, all |size| bytes of it.
  void Expect(const char* key, size_t size);
  // Notes that a valid line of |key| gave the bytes [first, end). Keys not expected are ignored.
  void Note(std::string_view key, size_t first, size_t end);
  // False with |*why| naming the first byte no line gave, of the memories in the order expected.
  bool Complete(std::string* why) const;

 private:
  struct Memory {
    const char* key;
    std::vector<uint8_t> given;  // 1 for a byte given
  };
  std::vector<Memory> memories_;
};

}  // namespace emu
