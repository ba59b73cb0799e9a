// whole_file.cpp - reading a file whole, the same on every system the emulator builds for.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>

#include "emu/atomic_file.h"

namespace emu {

// Through the C library's files rather than a stream: every run of the utility reads its state
// files, and a stream's locale costs more than reading them. The text is read in place, in one
// piece when the file keeps the size it had at the start.
bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  // A regular file's size is its text's; what else reads as a file (a device, a pipe) grows it.
  struct stat info {};
  const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  std::string text(regular ? static_cast<size_t>(info.st_size) + 1 : 4096, '\0');
  size_t length = 0;
  for (;;) {
    length += std::fread(text.data() + length, 1, text.size() - length, file);
    if (length < text.size()) break;
    text.resize(text.size() * 2);
  }
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  if (!read) return false;
  text.resize(length);
  *contents = std::move(text);
  return true;
}

}  // namespace emu
