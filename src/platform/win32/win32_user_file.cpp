// win32_user_file.cpp - replacing, comparing and locking user files with the Windows calls.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/changed_span.h"
#include "platform/user_file.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int kTemporaryAttempts = 100;

HANDLE OpenExisting(const char* name, DWORD access) {
  return CreateFileA(name, access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

// The file a name leads to, links followed; the name itself when nothing is there yet.
std::string ResolvedTarget(const char* name) {
  const HANDLE file = OpenExisting(name, 0);
  if (file == INVALID_HANDLE_VALUE) return name;
  char path[MAX_PATH * 4];
  const DWORD length =
      GetFinalPathNameByHandleA(file, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(file);
  if (length == 0 || length >= sizeof path) return name;
  std::string target(path, length);
  if (target.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + target.substr(8);
  if (target.rfind("\\\\?\\", 0) == 0) return target.substr(4);
  return target;
}

bool WriteAll(HANDLE file, const void* bytes, size_t size) {
  const auto* next = static_cast<const char*>(bytes);
  while (size > 0) {
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, next, chunk, &written, nullptr) || written == 0) return false;
    next += written;
    size -= written;
  }
  return true;
}

// For a directory that takes no new file: contents of the old length go over the old ones, only
// the bytes that differ and in one write, so that a run dying at any moment leaves either the old
// or the new contents. Another length would need the file cut first, and is refused.
ReplaceResult WriteThrough(const std::string& target, const void* bytes, size_t size) {
  const HANDLE file = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ReplaceResult::kNotCreated;
  LARGE_INTEGER old_size{};
  std::string old(size, '\0');
  DWORD got = 0;
  const bool same_size = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &old_size) &&
                         static_cast<size_t>(old_size.QuadPart) == size &&
                         ReadFile(file, old.data(), static_cast<DWORD>(size), &got, nullptr) &&
                         got == size;
  if (!same_size) {
    CloseHandle(file);
    return ReplaceResult::kNotCreated;
  }
  const auto* next = static_cast<const char*>(bytes);
  const ChangedSpan span = FindChangedSpan(old.data(), next, size);
  const DWORD count = static_cast<DWORD>(span.end - span.first);
  OVERLAPPED place{};
  place.Offset = static_cast<DWORD>(span.first);
  DWORD written = 0;
  bool done = count == 0 ||
              (WriteFile(file, next + span.first, count, &written, &place) && written == count);
  done = done && FlushFileBuffers(file);
  done = CloseHandle(file) && done;
  return done ? ReplaceResult::kReplaced : ReplaceResult::kNotWritten;
}

bool IdentityOf(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return GetFileInformationByHandle(file, info) != 0;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool IdentityOfName(const char* name, BY_HANDLE_FILE_INFORMATION* info) {
  const HANDLE file = OpenExisting(name, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = IdentityOf(file, info);
  CloseHandle(file);
  return known;
}

}  // namespace

ReplaceResult ReplaceUserFile(const char* name, const void* bytes, size_t size) {
  const std::string target = ResolvedTarget(name);
  const DWORD attributes = GetFileAttributesA(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ReplaceResult::kNotCreated;

  const size_t slash = target.find_last_of("\\/");
  const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kTemporaryAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%lx.%llx.%d.tmp", GetCurrentProcessId(),
                  static_cast<unsigned long long>(GetTickCount64()), attempt);
    temporary = directory + "~" + base + suffix;
    // CREATE_NEW never opens an existing file or link.
    file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
      if (exists && GetLastError() == ERROR_ACCESS_DENIED) return WriteThrough(target, bytes, size);
      return ReplaceResult::kNotCreated;
    }
  }
  if (file == INVALID_HANDLE_VALUE) return ReplaceResult::kNotCreated;
  bool done = WriteAll(file, bytes, size) && FlushFileBuffers(file);
  done = CloseHandle(file) && done;
  if (done && exists) {
    // Keeps the target's attributes and access rights.
    done = ReplaceFileA(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr) != 0 ||
           MoveFileExA(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  } else if (done) {
    done = MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!done) {
    // A replace that failed after taking the old file away (ERROR_UNABLE_TO_MOVE_REPLACEMENT)
    // leaves the new contents only in the temporary file: it is kept then.
    if (!exists || GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      DeleteFileA(temporary.c_str());
    }
    return ReplaceResult::kNotWritten;
  }
  return ReplaceResult::kReplaced;
}

bool CanReplaceUserFile(const char* name) {
  const std::string target = ResolvedTarget(name);
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  const HANDLE file = OpenExisting(target.c_str(), 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool disk = GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  return disk;
}

bool SameUserFile(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return IdentityOfName(first, &a) && IdentityOfName(second, &b) && SameIdentity(a, b);
}

UserFileLock::Result UserFileLock::Acquire(const char* name, bool wait) {
  Release();
  for (;;) {
    // Opened for writing, so that a file the run may not change is found out before the board
    // is touched.
    const HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      return GetLastError() == ERROR_ACCESS_DENIED ? Result::kNotWritable : Result::kFailed;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
      CloseHandle(file);
      return Result::kFailed;
    }
    // One byte far beyond any data: Windows locks are mandatory, and the file's own bytes must
    // stay readable and writable through other handles.
    OVERLAPPED place{};
    place.Offset = 0xFFFFFFFEu;
    place.OffsetHigh = 0x7FFFFFFFu;
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(file, flags, 0, 1, 0, &place)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Result::kBusy
                                                                        : Result::kFailed;
    }
    BY_HANDLE_FILE_INFORMATION held{};
    BY_HANDLE_FILE_INFORMATION named{};
    if (IdentityOf(file, &held) && IdentityOfName(name, &named) && SameIdentity(held, named)) {
      handle_ = reinterpret_cast<intptr_t>(file);
      return Result::kLocked;
    }
    // The holder replaced the file before letting go: the name now leads to a new file.
    CloseHandle(file);
  }
}

void UserFileLock::Release() {
  if (handle_ == kNoHandle) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing the handle drops the lock
  handle_ = kNoHandle;
}
