// posix_user_file_read.cpp - reading a user's file: only a regular file is read. A directory or a
// read error never passes as an empty file, and a pipe or a device never blocks the run or feeds
// it without end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/user_file.h"

namespace {

// Opens |name| for reading without waiting for a writer (a FIFO would block the open), and keeps
// it only when it is a regular file.
int OpenRegular(const char* name, struct stat* status) {
  const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Reads until |capacity| bytes or the end; -1 on a read error.
ssize_t ReadUpTo(int fd, char* buffer, size_t capacity) {
  size_t total = 0;
  while (total < capacity) {
    const ssize_t got = read(fd, buffer + total, capacity - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

}  // namespace

bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count) {
  *count = 0;
  struct stat status {};
  const int fd = OpenRegular(name, &status);
  if (fd < 0) return false;
  const ssize_t got = ReadUpTo(fd, static_cast<char*>(buffer), capacity);
  close(fd);
  if (got < 0) return false;
  *count = static_cast<size_t>(got);
  return true;
}

bool ReadWholeUserFile(const char* name, size_t limit, std::string* contents) {
  contents->clear();
  struct stat status {};
  const int fd = OpenRegular(name, &status);
  if (fd < 0) return false;
  std::string text;
  char chunk[4096];
  ssize_t got = 0;
  // Read to the end rather than to the size seen: the file may grow while it is read.
  while ((got = ReadUpTo(fd, chunk, sizeof chunk)) > 0 && text.size() <= limit) {
    text.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  if (got < 0 || text.size() > limit) return false;
  *contents = std::move(text);
  return true;
}
