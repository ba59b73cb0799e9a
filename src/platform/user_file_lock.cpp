// user_file_lock.cpp - telling two names of one file apart, and the lock that keeps two runs
// from stepping from one file at the same time, under which a lost replace is cleared away.
#include "platform/user_file_logic.h"

bool SameUserFileOn(FileSystem& files, const char* first, const char* second) {
  FileInfo a;
  FileInfo b;
  return files.InfoOf(first, &a) == FileError::kNone &&
         files.InfoOf(second, &b) == FileError::kNone && SameFile(a, b);
}

uint64_t UserFileNameCountOn(FileSystem& files, const char* name) {
  FileInfo info;
  return files.InfoOf(name, &info) == FileError::kNone ? info.links : 0;
}

UserFileLock::Result LockUserFileOn(FileSystem& files, const char* name, bool wait,
                                    FileSystem::Handle* handle) {
  using Result = UserFileLock::Result;
  for (;;) {
    // Opened for writing, so that a file the run may not change is found out before the board
    // is touched; without waiting, so that a pipe cannot hold the run.
    FileSystem::Handle file = FileSystem::kNoHandle;
    const FileError opened = files.Open(name, FileAccess::kLock, &file);
    if (opened != FileError::kNone) {
      const bool exists = opened == FileError::kDenied || opened == FileError::kReadOnly;
      return exists ? Result::kNotWritable : Result::kFailed;
    }
    FileInfo held;
    if (files.Info(file, &held) != FileError::kNone || !held.regular) {
      files.Close(file);
      return Result::kFailed;
    }
    const FileError locked = files.Lock(file, wait);
    if (locked != FileError::kNone) {
      files.Close(file);
      if (locked == FileError::kInterrupted) continue;
      return locked == FileError::kBusy ? Result::kBusy : Result::kFailed;
    }
    FileInfo named;
    if (files.InfoOf(name, &named) == FileError::kNone && SameFile(held, named)) {
      *handle = file;
      return Result::kLocked;
    }
    // The holder replaced the file before letting go: the name now leads to a new file.
    files.Close(file);
  }
}

void RemoveLostReplacementsOn(FileSystem& files, const char* name, FileSystem::Handle locked) {
  std::string target;
  FileInfo held;
  FileInfo named;
  if (!files.Resolve(name, &target) || files.Info(locked, &held) != FileError::kNone ||
      files.InfoOf(target, &named) != FileError::kNone || !SameFile(held, named)) {
    return;
  }
  for (const std::string& lost : files.TemporariesBeside(target)) files.Remove(lost);
}
