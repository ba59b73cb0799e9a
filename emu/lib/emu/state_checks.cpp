// state_checks.cpp - range of the numbers and times, and completeness of the whole memories.
#include "emu/state_checks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
  memories_.push_back({.key = key, .given = std::vector<uint8_t>(size)});
}

void WholeMemories::Note(std::string_view key, size_t first, size_t end) {
  for (Memory& memory : memories_) {
    if (key != memory.key) continue;
    end = std::min(end, memory.given.size());
    if (first < end) std::memset(memory.given.data() + first, 1, end - first);
  }
}

bool WholeMemories::Complete(std::string* why) const {
  for (const Memory& memory : memories_) {
    const void* gap = std::memchr(memory.given.data(), 0, memory.given.size());
    if (gap == nullptr) continue;
    const size_t offset = static_cast<const uint8_t*>(gap) - memory.given.data();
    char text[80];
    std::snprintf(text, sizeof text, "the file ends without %s byte 0x%03zx", memory.key, offset);
    *why = text;
    return false;
  }
  return true;
}

}  // namespace emu
