// state_checks.cpp - range of the time fields and completeness of the whole memories.
#include "emu/state_checks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "emu/emu_clock.h"
#include "emu/wire_format.h"

namespace emu {

bool ParseTimeMs(const std::string& text, int64_t* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || parsed > kMaxTimeMs || parsed < -kMaxTimeMs) return false;
  *value = parsed;
  return true;
}

WholeMemories::WholeMemories()
    : memories_{{.key = "eeprom", .given = std::vector<bool>(kEepromCapacity)},
                {.key = "otp", .given = std::vector<bool>(kOtpSize)}} {}

void WholeMemories::Note(const std::string& key, const std::vector<std::string>& words) {
  for (Memory& memory : memories_) {
    if (key != memory.key || words.empty()) continue;
    size_t offset = std::strtoull(words[0].c_str(), nullptr, 0);
    for (size_t i = 1; i < words.size(); ++i) {
      for (size_t digit = 0; digit + 1 < words[i].size() && offset < memory.given.size();
           digit += 2) {
        memory.given[offset++] = true;
      }
    }
  }
}

bool WholeMemories::Complete(std::string* why) const {
  for (const Memory& memory : memories_) {
    for (size_t offset = 0; offset < memory.given.size(); ++offset) {
      if (memory.given[offset]) continue;
      char text[80];
      std::snprintf(text, sizeof text, "the file ends without %s byte 0x%03zx", memory.key, offset);
      *why = text;
      return false;
    }
  }
  return true;
}

}  // namespace emu
