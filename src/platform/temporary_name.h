// temporary_name.h - where the file systems put the new file of a replace: beside its target,
// named from the target's name, so that the leftovers of a run that died can be found again.
#pragma once

#include <string>

struct TemporaryPattern {
  std::string directory;  // "" or ending in a separator
  std::string prefix;     // |lead|, the target's own name and "."
};

// The pattern of |target|, whose directory ends at the last of |separators|.
inline TemporaryPattern TemporaryPatternOf(const std::string& target, const char* separators,
                                           const char* lead) {
  const size_t slash = target.find_last_of(separators);
  const bool bare = slash == std::string::npos;
  return {.directory = bare ? "" : target.substr(0, slash + 1),
          .prefix = lead + (bare ? target : target.substr(slash + 1)) + "."};
}
