// file_system.h - the few primitive file calls that the user-file logic is written over, one
// implementation per system and an in-memory one in the tests. Each call does one system call's
// work and no more: what to do with the answer is the logic's business, so that it is written
// once and can be driven through every fault a disk can show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What went wrong, in the few kinds the logic tells apart.
enum class FileError {
  kNone,
  kMissing,      // nothing has the name
  kExists,       // an exclusive create found the name taken
  kDenied,       // the permissions refuse it
  kReadOnly,     // the volume itself takes no writes
  kBusy,         // another holder has the lock
  kInterrupted,  // a signal cut the call short; it may simply be made again
  kOther,
};

struct FileInfo {
  bool regular = false;  // a file on a disk: no directory, device or pipe
  uint64_t size = 0;
  uint32_t mode = 0;  // the permission bits, where the system has them
  uint32_t owner = 0;
  uint32_t group = 0;
  uint64_t volume = 0;  // with |index|, what makes the file itself, whatever its name
  uint64_t index = 0;
  uint64_t links = 1;  // the names (hard links) the file has
  bool directory = false;
};

inline bool SameFile(const FileInfo& a, const FileInfo& b) {
  return a.volume == b.volume && a.index == b.index;
}

enum class FileAccess {
  kRead,    // reading; others may read and write
  kUpdate,  // reading and writing in place; others may only read meanwhile
  kLock,    // reading and writing, shared with everyone: the file is held by its lock only
  kAppend,  // reading, and writing at the end only; created when missing
};

class FileSystem {
 public:
  using Handle = intptr_t;
  static constexpr Handle kNoHandle = -1;

  virtual ~FileSystem() = default;

  // The file |name| leads to, links followed; the name itself when nothing is there yet. False
  // for links that lead round in a circle.
  virtual bool Resolve(const std::string& name, std::string* target) = 0;
  // Opens an existing file (or, for kAppend, a new one) without waiting on a pipe's writer.
  virtual FileError Open(const std::string& name, FileAccess access, Handle* handle) = 0;
  // Creates a new file of a name no other has, beside |target|, open for writing. Never opens
  // an existing file or link.
  virtual FileError CreateBeside(const std::string& target, std::string* name, Handle* handle) = 0;
  // The regular files of the names CreateBeside gives for |target| that are there now.
  virtual std::vector<std::string> TemporariesBeside(const std::string& target) = 0;
  virtual FileError Info(Handle handle, FileInfo* info) = 0;
  virtual FileError InfoOf(const std::string& name, FileInfo* info) = 0;  // links followed
  // Reads from the handle's position onward; |*got| 0 at the end.
  virtual FileError Read(Handle handle, void* buffer, size_t size, size_t* got) = 0;
  virtual FileError ReadAt(Handle handle, uint64_t offset, void* buffer, size_t size,
                           size_t* got) = 0;
  // Writes at the handle's position (at the end for kAppend); may write less than asked.
  virtual FileError Write(Handle handle, const void* bytes, size_t size, size_t* written) = 0;
  virtual FileError WriteAt(Handle handle, uint64_t offset, const void* bytes, size_t size,
                            size_t* written) = 0;
  virtual FileError Flush(Handle handle) = 0;  // to the disk
  virtual FileError Close(Handle handle) = 0;
  // Gives a new file the owner of the file it replaces; allowed to fail (only root may).
  virtual FileError SetOwner(Handle handle, uint32_t owner, uint32_t group) = 0;
  virtual FileError SetMode(Handle handle, uint32_t mode) = 0;
  // The permissions a new file gets when nothing else is said.
  virtual uint32_t NewFileMode() = 0;
  // Puts |temporary| in the place of |target| in one step, the old file (when |exists|) going
  // with it, and makes the change last.
  virtual FileError ReplaceWith(const std::string& temporary, const std::string& target,
                                bool exists) = 0;
  virtual FileError Remove(const std::string& name) = 0;
  // An exclusive lock on the open file, held until it is closed.
  virtual FileError Lock(Handle handle, bool wait) = 0;
  // The system's own words for why the call just made failed ("No such file or directory"), for
  // a message to the user; asked right after that call, before any other.
  virtual std::string FailureText() = 0;
};

// The files of the system the program runs on.
FileSystem& SystemFileSystem();
