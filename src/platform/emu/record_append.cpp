// record_append.cpp - the record append on a POSIX system: O_APPEND makes the one write land at
// the end even when another station appends to the same file, and fsync puts it on the disk.
#include "platform/record_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kRecordMode = 0644;

// The record opened for appending; -1 when it cannot be, or is no regular file (a device would
// swallow the lines, a pipe block the run).
int OpenForAppend(const char* path, struct stat* status) {
  const int file = open(path, O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, kRecordMode);
  if (file < 0) return -1;
  if (fstat(file, status) != 0 || !S_ISREG(status->st_mode)) {
    close(file);
    return -1;
  }
  return file;
}

}  // namespace

bool CanAppendToFile(const char* path) {
  struct stat status {};
  const int file = OpenForAppend(path, &status);
  if (file < 0) return false;
  close(file);
  return true;
}

bool AppendLineFlushed(const char* path, const std::string& header, const std::string& line) {
  struct stat status {};
  const int file = OpenForAppend(path, &status);
  if (file < 0) return false;
  char last = '\n';
  bool done = status.st_size == 0 || pread(file, &last, 1, status.st_size - 1) == 1;
  std::string text = last != '\n' ? "\n" : "";
  if (status.st_size == 0) text += header;
  text += line;
  done = done && write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  done = done && fsync(file) == 0;
  return close(file) == 0 && done;
}
