// state_checks.h - what makes a hand-edited or damaged state file invalid instead of loading it
// half right: times the clock arithmetic can hold, and memories that must be there whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emu {

// A time field: a decimal number of milliseconds within kMaxTimeMs either way.
bool ParseTimeMs(const std::string& text, int64_t* value);

// The bytes that the lines of the memories a state file holds whole ("eeprom", "otp") gave, so
// that a file cut short (or missing a line) is found out rather than read as blank memory.
class WholeMemories {
 public:
  WholeMemories();
  // Notes a valid memory line: |words| are its offset, then its bytes in hex. Other keys are
  // ignored.
  void Note(const std::string& key, const std::vector<std::string>& words);
  // False with |*why| naming the first byte no line gave.
  bool Complete(std::string* why) const;

 private:
  struct Memory {
    const char* key;
    std::vector<bool> given;
  };
  std::vector<Memory> memories_;
};

}  // namespace emu
