// user_file.h - the files the user owns (images, INI files, saved memories): reading one, replacing
// one so that it is never lost or left half written, telling two names of one file apart, and the
// lock that keeps two runs from stepping from one file at the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_source.h"

// Reads the file from its start into |buffer|, at most |capacity| bytes, and sets |*count|.
// False when the file cannot be opened or cannot be read; only a regular file is read, so a
// directory, a device or a pipe never passes as a file (nor blocks the run). Nothing read then
// counts, and |*reason| (when given) says why, in the system's words or "not a regular file".
bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count,
                  std::string* reason = nullptr);

// Reads the whole regular file into |*contents|; false as ReadUserFile, or when it holds more than
// |limit| bytes.
bool ReadWholeUserFile(const char* name, size_t limit, std::string* contents,
                       std::string* reason = nullptr);

// A regular file read from its start a block at a time, for a file too long to hold whole (the
// per-board record). Open refuses what ReadUserFile refuses.
class UserFileReader : public ByteSource {
 public:
  UserFileReader() = default;
  ~UserFileReader() override;
  UserFileReader(const UserFileReader&) = delete;
  UserFileReader& operator=(const UserFileReader&) = delete;

  // False after putting the system's reason in |*reason| (when given).
  bool Open(const char* name, std::string* reason = nullptr);
  bool Next(std::string_view* block) override;

 private:
  intptr_t handle_ = -1;  // a file descriptor or a system handle
  std::vector<char> buffer_;
};

// True when ReplaceUserFile may put a file at |name|: nothing is there yet (links followed), or a
// regular file is. Lets a save path be refused before the board is read.
bool CanReplaceUserFile(const char* name);

enum class ReplaceResult {
  kReplaced,
  kNotCreated,  // neither a new file beside the target nor the target itself could be opened
  kNotWritten,  // writing, flushing or renaming failed; the old contents are untouched
};

// Replaces the contents of |name| with |size| bytes. A link is followed: the new contents go to a
// uniquely named file created beside the link's target, with the target's permissions, are
// flushed to disk and renamed over the target; the temporary file is removed on every failure.
// A file with other hard links thus gets a new identity of its own, and the other names keep the
// old contents. Where the directory takes no new file, contents of the old length are written
// over the old ones in one write; any other length is refused there (kNotCreated), since
// truncating first would leave the file cut if the run died in between. |*reason| (when given)
// says why a replace failed, in the system's words where the system gave them.
ReplaceResult ReplaceUserFile(const char* name, const void* bytes, size_t size,
                              std::string* reason = nullptr);

// True when both names exist and are the same file, whatever their spelling.
bool SameUserFile(const char* first, const char* second);

// How many names (hard links) the file |name| leads to has, links followed; 0 when it cannot be
// told. A replace gives the file at |name| a new identity, which its other names do not follow.
uint64_t UserFileNameCount(const char* name);

// An exclusive lock on a file, shared with every other run of the utility on this machine.
// Reading and writing the file stay open to the holder and to others. Only a regular file that
// can be opened for writing is locked: the holder is about to change it.
class UserFileLock {
 public:
  enum class Result { kLocked, kBusy, kNotWritable, kFailed };

  UserFileLock() = default;
  ~UserFileLock() { Release(); }
  UserFileLock(const UserFileLock&) = delete;
  UserFileLock& operator=(const UserFileLock&) = delete;

  // Locks |name|. With |wait| false returns kBusy at once while another holder has it; with
  // |wait| true blocks until it is free. When the file was replaced while waiting, the file that
  // now has the name is locked. kNotWritable: the file is there but may not be written;
  // kFailed: it is missing, not a regular file, or cannot be locked.
  Result Acquire(const char* name, bool wait);
  void Release();
  // Removes what replaces of the locked file |name| left beside it when their run died before
  // putting the new contents in place. Every run that replaces a locked file holds its lock
  // meanwhile, so none of them is being written now. Does nothing unless the lock is held on the
  // file that |name| leads to.
  void RemoveLostReplacements(const char* name);
  bool held() const { return handle_ != kNoHandle; }

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;  // a file descriptor or a system handle
};
