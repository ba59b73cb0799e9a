// user_file.h - the files the user owns (images, INI files, saved memories): reading one, replacing
// one so that it is never lost or left half written, telling two names of one file apart, and the
// lock that keeps two runs from stepping from one file at the same time.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the file from its start into |buffer|, at most |capacity| bytes, and sets |*count|.
// False when the file cannot be opened or cannot be read (a directory, a read error); nothing
// read then counts.
bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count);

enum class ReplaceResult {
  kReplaced,
  kNotCreated,  // neither a new file beside the target nor the target itself could be opened
  kNotWritten,  // writing, flushing or renaming failed; the old contents are untouched
};

// Replaces the contents of |name| with |size| bytes. A link is followed: the new contents go to a
// uniquely named file created beside the link's target, with the target's permissions, are
// flushed to disk and renamed over the target; the temporary file is removed on every failure.
// Where the directory takes no new file, the target itself is truncated and written. A file with
// other hard links thus gets a new identity of its own, and the other names keep the old contents.
ReplaceResult ReplaceUserFile(const char* name, const void* bytes, size_t size);

// True when both names exist and are the same file, whatever their spelling.
bool SameUserFile(const char* first, const char* second);

// An exclusive lock on a file, shared with every other run of the utility on this machine.
// Reading and writing the file stay open to the holder and to others.
class UserFileLock {
 public:
  enum class Result { kLocked, kBusy, kFailed };

  UserFileLock() = default;
  ~UserFileLock() { Release(); }
  UserFileLock(const UserFileLock&) = delete;
  UserFileLock& operator=(const UserFileLock&) = delete;

  // Locks |name|. With |wait| false returns kBusy at once while another holder has it; with
  // |wait| true blocks until it is free. When the file was replaced while waiting, the file that
  // now has the name is locked. kFailed: the file cannot be opened or locked.
  Result Acquire(const char* name, bool wait);
  void Release();
  bool held() const { return handle_ != kNoHandle; }

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;  // a file descriptor or a system handle
};
