// record_append.cpp - the record append on a POSIX system: O_APPEND makes the one write land at
// the end even when another station appends to the same file, and fsync puts it on the disk.
#include "platform/record_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kRecordMode = 0644;

int OpenForAppend(const char* path) {
  return open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kRecordMode);
}

}  // namespace

bool CanAppendToFile(const char* path) {
  const int file = OpenForAppend(path);
  if (file < 0) return false;
  close(file);
  return true;
}

bool AppendLineFlushed(const char* path, const std::string& header, const std::string& line) {
  const int file = OpenForAppend(path);
  if (file < 0) return false;
  struct stat status {};
  bool done = fstat(file, &status) == 0;
  const std::string text = done && status.st_size == 0 ? header + line : line;
  done = done && write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  done = done && fsync(file) == 0;
  return close(file) == 0 && done;
}
