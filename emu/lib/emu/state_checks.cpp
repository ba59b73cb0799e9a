// state_checks.cpp - range of the numbers and times, and completeness of the whole memories.
#include "emu/state_checks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "emu/emu_clock.h"

namespace emu {

bool ParseUnsigned(const std::string& text, uint64_t limit, uint64_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || errno != 0 || parsed > limit) return false;
  *value = parsed;
  return true;
}

bool ParseTimeMs(const std::string& text, int64_t* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || parsed > kMaxTimeMs || parsed < -kMaxTimeMs) return false;
  *value = parsed;
  return true;
}

void WholeMemories::Expect(const char* key, size_t size) {
  memories_.push_back({.key = key, .given = std::vector<bool>(size)});
}

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
