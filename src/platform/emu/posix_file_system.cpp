// posix_file_system.cpp - the file system's primitive calls on a POSIX system, one system call
// (or the few that make one step) each.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/temporary_name.h"

namespace {

constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kRecordMode = 0644;
constexpr int kMaxLinkHops = 40;  // as the system itself allows

struct ErrorKind {
  int code;
  FileError kind;
};
constexpr ErrorKind kErrorKinds[] = {
    {ENOENT, FileError::kMissing},    {EEXIST, FileError::kExists},
    {EACCES, FileError::kDenied},     {EPERM, FileError::kDenied},
    {EROFS, FileError::kReadOnly},    {EWOULDBLOCK, FileError::kBusy},
    {EINTR, FileError::kInterrupted},
};

FileError ErrorOf(int error) {
  for (const ErrorKind& known : kErrorKinds) {
    if (known.code == error) return known.kind;
  }
  return FileError::kOther;
}

FileError Done(bool success) { return success ? FileError::kNone : ErrorOf(errno); }

int Descriptor(FileSystem::Handle handle) { return static_cast<int>(handle); }

FileError Transferred(ssize_t count, size_t* done) {
  *done = count > 0 ? static_cast<size_t>(count) : 0;
  return Done(count >= 0);
}

void Describe(const struct stat& status, FileInfo* info) {
  info->regular = S_ISREG(status.st_mode);
  info->directory = S_ISDIR(status.st_mode);
  info->size = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
  info->mode = status.st_mode & 07777;
  info->owner = status.st_uid;
  info->group = status.st_gid;
  info->volume = status.st_dev;
  info->index = status.st_ino;
  info->links = status.st_nlink;
}

std::string DirectoryOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  return slash == std::string::npos ? "." : target.substr(0, slash + 1);
}

// What mkstemp turns into a name of its own beside |target|: "." + its name + "." + six letters
// or digits.
constexpr char kTemporaryLetters[] = "XXXXXX";
constexpr size_t kTemporaryLetterCount = sizeof kTemporaryLetters - 1;

TemporaryPattern PatternOf(const std::string& target) {
  return TemporaryPatternOf(target, "/", ".");
}

bool IsTemporaryName(const std::string& name, const TemporaryPattern& pattern) {
  if (name.size() != pattern.prefix.size() + kTemporaryLetterCount ||
      name.compare(0, pattern.prefix.size(), pattern.prefix) != 0) {
    return false;
  }
  for (size_t i = pattern.prefix.size(); i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
      return false;
    }
  }
  return true;
}

void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

class PosixFileSystem : public FileSystem {
 public:
  // A link to a file not yet made leads to where that file will be, so the link stays a link.
  bool Resolve(const std::string& name, std::string* target) override {
    std::string path = name;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
      char* real = realpath(path.c_str(), nullptr);
      if (real != nullptr) {
        *target = real;
        std::free(real);
        return true;
      }
      struct stat link {};
      char next[PATH_MAX];
      const bool is_link = lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
      const ssize_t length = is_link ? readlink(path.c_str(), next, sizeof next) : -1;
      if (length <= 0 || static_cast<size_t>(length) >= sizeof next) {
        *target = path;
        return true;
      }
      // A relative destination is read from the link's own directory.
      const size_t slash = path.rfind('/');
      if (next[0] == '/' || slash == std::string::npos) {
        path.clear();
      } else {
        path.resize(slash + 1);
      }
      path.append(next, static_cast<size_t>(length));
    }
    return false;
  }

  FileError Open(const std::string& name, FileAccess access, Handle* handle) override {
    int flags = O_NONBLOCK | O_CLOEXEC;
    if (access == FileAccess::kRead) flags |= O_RDONLY;
    if (access == FileAccess::kUpdate || access == FileAccess::kLock) flags |= O_RDWR;
    if (access == FileAccess::kAppend) flags |= O_RDWR | O_APPEND | O_CREAT;
    const int fd = open(name.c_str(), flags, kRecordMode);
    *handle = fd;
    return Done(fd >= 0);
  }

  // mkstemp creates the name exclusively: an existing file or link there is never opened.
  FileError CreateBeside(const std::string& target, std::string* name, Handle* handle) override {
    const TemporaryPattern pattern = PatternOf(target);
    *name = pattern.directory + pattern.prefix + kTemporaryLetters;
    const int fd = mkstemp(name->data());
    *handle = fd;
    return Done(fd >= 0);
  }

  std::vector<std::string> TemporariesBeside(const std::string& target) override {
    const TemporaryPattern pattern = PatternOf(target);
    std::vector<std::string> found;
    DIR* directory = opendir(pattern.directory.empty() ? "." : pattern.directory.c_str());
    if (directory == nullptr) return found;
    while (const dirent* entry = readdir(directory)) {
      const std::string path = pattern.directory + entry->d_name;
      struct stat status {};
      if (IsTemporaryName(entry->d_name, pattern) && lstat(path.c_str(), &status) == 0 &&
          S_ISREG(status.st_mode)) {
        found.push_back(path);
      }
    }
    closedir(directory);
    return found;
  }

  FileError Info(Handle handle, FileInfo* info) override {
    struct stat status {};
    if (fstat(Descriptor(handle), &status) != 0) return ErrorOf(errno);
    Describe(status, info);
    return FileError::kNone;
  }

  FileError InfoOf(const std::string& name, FileInfo* info) override {
    struct stat status {};
    if (stat(name.c_str(), &status) != 0) return ErrorOf(errno);
    Describe(status, info);
    return FileError::kNone;
  }

  FileError Read(Handle handle, void* buffer, size_t size, size_t* got) override {
    return Transferred(read(Descriptor(handle), buffer, size), got);
  }

  FileError ReadAt(Handle handle, uint64_t offset, void* buffer, size_t size,
                   size_t* got) override {
    return Transferred(pread(Descriptor(handle), buffer, size, static_cast<off_t>(offset)), got);
  }

  FileError Write(Handle handle, const void* bytes, size_t size, size_t* written) override {
    return Transferred(write(Descriptor(handle), bytes, size), written);
  }

  FileError WriteAt(Handle handle, uint64_t offset, const void* bytes, size_t size,
                    size_t* written) override {
    return Transferred(pwrite(Descriptor(handle), bytes, size, static_cast<off_t>(offset)),
                       written);
  }

  FileError Flush(Handle handle) override { return Done(fsync(Descriptor(handle)) == 0); }
  FileError Close(Handle handle) override { return Done(close(Descriptor(handle)) == 0); }

  FileError SetOwner(Handle handle, uint32_t owner, uint32_t group) override {
    return Done(fchown(Descriptor(handle), owner, group) == 0);
  }

  FileError SetMode(Handle handle, uint32_t mode) override {
    return Done(fchmod(Descriptor(handle), mode) == 0);
  }

  uint32_t NewFileMode() override {
    const mode_t mask = umask(0);
    umask(mask);
    return kNewFileMode & ~mask;
  }

  FileError ReplaceWith(const std::string& temporary, const std::string& target,
                        bool /*exists*/) override {
    if (rename(temporary.c_str(), target.c_str()) != 0) return ErrorOf(errno);
    SyncDirectory(DirectoryOf(target));
    return FileError::kNone;
  }

  FileError Remove(const std::string& name) override { return Done(unlink(name.c_str()) == 0); }

  FileError Lock(Handle handle, bool wait) override {
    return Done(flock(Descriptor(handle), LOCK_EX | (wait ? 0 : LOCK_NB)) == 0);
  }

  std::string FailureText() override { return std::strerror(errno); }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}
