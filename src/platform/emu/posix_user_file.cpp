// posix_user_file.cpp - replacing, comparing and locking user files with the POSIX calls.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/changed_span.h"
#include "platform/user_file.h"

namespace {

constexpr mode_t kNewFileMode = 0666;
constexpr int kMaxLinkHops = 40;  // as the system itself allows

// The file a name leads to, links followed; the name itself when nothing is there yet. A link
// to a file not yet made leads to where that file will be, so the link stays a link. Empty for
// links that lead round in a circle.
std::string ResolvedTarget(const char* name) {
  std::string path = name;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    char* real = realpath(path.c_str(), nullptr);
    if (real != nullptr) {
      std::string target(real);
      std::free(real);
      return target;
    }
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char next[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), next, sizeof next);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof next) return path;
    // A relative destination is read from the link's own directory.
    const size_t slash = path.rfind('/');
    if (next[0] == '/' || slash == std::string::npos) {
      path.clear();
    } else {
      path.resize(slash + 1);
    }
    path.append(next, static_cast<size_t>(length));
  }
  return {};
}

bool WriteAll(int fd, const void* bytes, size_t size) {
  const auto* next = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t written = write(fd, next, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// For a directory that takes no new file: contents of the old length go over the old ones, only
// the bytes that differ and in one write, so that a run dying at any moment leaves either the old
// or the new contents. Another length would need the file cut first, and is refused.
ReplaceResult WriteThrough(const std::string& target, const void* bytes, size_t size) {
  const int fd = open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ReplaceResult::kNotCreated;
  struct stat status {};
  std::string old(size, '\0');
  const bool same_size = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                         static_cast<size_t>(status.st_size) == size &&
                         pread(fd, old.data(), size, 0) == static_cast<ssize_t>(size);
  if (!same_size) {
    close(fd);
    return ReplaceResult::kNotCreated;
  }
  const auto* next = static_cast<const char*>(bytes);
  const ChangedSpan span = FindChangedSpan(old.data(), next, size);
  const size_t count = span.end - span.first;
  bool done = count == 0 || pwrite(fd, next + span.first, count, static_cast<off_t>(span.first)) ==
                                static_cast<ssize_t>(count);
  done = done && fsync(fd) == 0;
  done = close(fd) == 0 && done;
  return done ? ReplaceResult::kReplaced : ReplaceResult::kNotWritten;
}

void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool SameIdentity(const struct stat& first, const struct stat& second) {
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

ReplaceResult ReplaceUserFile(const char* name, const void* bytes, size_t size) {
  const std::string target = ResolvedTarget(name);
  if (target.empty()) return ReplaceResult::kNotCreated;
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return ReplaceResult::kNotCreated;

  const size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = (slash == std::string::npos ? "" : directory) + "." + base + ".XXXXXX";
  // mkstemp creates the name exclusively: an existing file or link there is never opened.
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    if (exists && (errno == EACCES || errno == EPERM)) return WriteThrough(target, bytes, size);
    return ReplaceResult::kNotCreated;
  }
  bool done = true;
  if (exists) {
    // Ownership is kept where the user may give it away (as root); the mode always.
    [[maybe_unused]] const int owned = fchown(fd, old.st_uid, old.st_gid);
    done = fchmod(fd, old.st_mode & 07777) == 0;
  } else {
    // mkstemp makes the file private; a new file gets what the creation mask lets through.
    const mode_t mask = umask(0);
    umask(mask);
    done = fchmod(fd, kNewFileMode & ~mask) == 0;
  }
  done = done && WriteAll(fd, bytes, size) && fsync(fd) == 0;
  done = close(fd) == 0 && done;
  done = done && rename(temporary.c_str(), target.c_str()) == 0;
  if (!done) {
    unlink(temporary.c_str());
    return ReplaceResult::kNotWritten;
  }
  SyncDirectory(directory);
  return ReplaceResult::kReplaced;
}

bool CanReplaceUserFile(const char* name) {
  const std::string target = ResolvedTarget(name);
  if (target.empty()) return false;
  struct stat status {};
  if (stat(target.c_str(), &status) != 0) return errno == ENOENT;
  return S_ISREG(status.st_mode);
}

bool SameUserFile(const char* first, const char* second) {
  struct stat a {};
  struct stat b {};
  return stat(first, &a) == 0 && stat(second, &b) == 0 && SameIdentity(a, b);
}

UserFileLock::Result UserFileLock::Acquire(const char* name, bool wait) {
  Release();
  for (;;) {
    // Opened for writing, so that a file the run may not change is found out before the board
    // is touched; without waiting, so that a pipe cannot hold the run.
    const int fd = open(name, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      const bool exists = errno == EACCES || errno == EPERM || errno == EROFS;
      return exists ? Result::kNotWritable : Result::kFailed;
    }
    struct stat held {};
    if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
      close(fd);
      return Result::kFailed;
    }
    if (flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
      const int error = errno;
      close(fd);
      if (error == EINTR) continue;
      return error == EWOULDBLOCK ? Result::kBusy : Result::kFailed;
    }
    struct stat named {};
    if (stat(name, &named) == 0 && SameIdentity(held, named)) {
      handle_ = fd;
      return Result::kLocked;
    }
    // The holder replaced the file before letting go: the name now leads to a new file.
    close(fd);
  }
}

void UserFileLock::Release() {
  if (handle_ == kNoHandle) return;
  close(static_cast<int>(handle_));  // closing the descriptor drops the lock
  handle_ = kNoHandle;
}
