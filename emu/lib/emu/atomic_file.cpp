// atomic_file.cpp - temporary file, then rename (or exchange).
#include "emu/atomic_file.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emu {

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  const std::string temporary = path + ".tmp." + std::to_string(getpid());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < contents.size()) {
    const ssize_t written = write(fd, contents.data() + done, contents.size() - done);
    if (written < 0) {
      ok = errno == EINTR;
      continue;
    }
    done += static_cast<size_t>(written);
  }
  // No fsync: the rename alone keeps the file whole when the process dies, which is what the
  // emulator must survive. It models the chip, not the disk, and a flush would cost a run most
  // of its time.
  ok = close(fd) == 0 && ok;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  // Over an existing regular file, the two are exchanged and the old one removed: ext4 writes a
  // file out at once when it is renamed over another one, which on a busy disk took most of a
  // run's time. Readers still see the old or the new file whole.
  struct stat target {};
  if (lstat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
      renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
    unlink(temporary.c_str());
    return true;
  }
  ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

}  // namespace emu
