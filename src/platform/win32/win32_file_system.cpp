// win32_file_system.cpp - the file system's primitive calls on Windows, one system call (or the
// few that make one step) each.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/temporary_name.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kLargestChunk = 0x10000000;
constexpr int kTemporaryAttempts = 100;

FileError ErrorOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FileError::kMissing;
    case ERROR_FILE_EXISTS:
      return FileError::kExists;
    case ERROR_ACCESS_DENIED:
      return FileError::kDenied;
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
      return FileError::kBusy;
    default:
      return FileError::kOther;
  }
}

FileError Done(bool success) { return success ? FileError::kNone : ErrorOf(GetLastError()); }

HANDLE Win32Handle(FileSystem::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

FileSystem::Handle Opened(HANDLE file, FileSystem::Handle* handle) {
  *handle = reinterpret_cast<FileSystem::Handle>(file);
  return *handle;
}

DWORD Chunk(size_t size) { return size > kLargestChunk ? kLargestChunk : static_cast<DWORD>(size); }

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED place{};
  place.Offset = static_cast<DWORD>(offset);
  place.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return place;
}

HANDLE OpenExisting(const char* name, DWORD access) {
  return CreateFileA(name, access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

// The names CreateBeside gives beside a target: "~" + its name + "." + process, time and attempt
// + ".tmp".
constexpr char kTemporarySuffix[] = ".tmp";

TemporaryPattern PatternOf(const std::string& target) {
  return TemporaryPatternOf(target, "\\/", "~");
}

class Win32FileSystem : public FileSystem {
 public:
  std::string FailureText() override {
    const DWORD error = GetLastError();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) {
      words.pop_back();
    }
    return words.empty() ? "system error " + std::to_string(error) : words;
  }

  bool Resolve(const std::string& name, std::string* target) override {
    *target = name;
    const HANDLE file = OpenExisting(name.c_str(), 0);
    if (file == INVALID_HANDLE_VALUE) return true;
    char path[MAX_PATH * 4];
    const DWORD length =
        GetFinalPathNameByHandleA(file, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);
    if (length == 0 || length >= sizeof path) return true;
    *target = std::string(path, length);
    if (target->rfind("\\\\?\\UNC\\", 0) == 0) {
      *target = "\\\\" + target->substr(8);
    } else if (target->rfind("\\\\?\\", 0) == 0) {
      *target = target->substr(4);
    }
    return true;
  }

  FileError Open(const std::string& name, FileAccess access, Handle* handle) override {
    DWORD rights = GENERIC_READ | GENERIC_WRITE;
    DWORD share = kShareAll;
    DWORD disposition = OPEN_EXISTING;
    if (access == FileAccess::kRead) {
      rights = GENERIC_READ;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    } else if (access == FileAccess::kUpdate) {
      share = FILE_SHARE_READ;
    } else if (access == FileAccess::kAppend) {
      rights = FILE_APPEND_DATA | GENERIC_READ;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      disposition = OPEN_ALWAYS;
    }
    const HANDLE file = CreateFileA(name.c_str(), rights, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return Done(Opened(file, handle) != kNoHandle);
  }

  // CREATE_NEW never opens an existing file or link.
  FileError CreateBeside(const std::string& target, std::string* name, Handle* handle) override {
    const TemporaryPattern pattern = PatternOf(target);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
      char middle[48];
      std::snprintf(middle, sizeof middle, "%lx.%llx.%d", GetCurrentProcessId(),
                    static_cast<unsigned long long>(GetTickCount64()), attempt);
      *name = pattern.directory + pattern.prefix + middle + kTemporarySuffix;
      const HANDLE file = CreateFileA(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (Opened(file, handle) != kNoHandle) return FileError::kNone;
      if (GetLastError() != ERROR_FILE_EXISTS) return ErrorOf(GetLastError());
    }
    return FileError::kExists;
  }

  std::vector<std::string> TemporariesBeside(const std::string& target) override {
    const TemporaryPattern pattern = PatternOf(target);
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry{};
    const HANDLE search = FindFirstFileA(
        (pattern.directory + pattern.prefix + "*" + kTemporarySuffix).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
      // The pattern matches short names too: the long name is checked again.
      const std::string name = entry.cFileName;
      const size_t least = pattern.prefix.size() + sizeof kTemporarySuffix - 1;
      const bool plain =
          (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
      if (plain && name.size() > least && name.rfind(pattern.prefix, 0) == 0 &&
          name.compare(name.size() - (sizeof kTemporarySuffix - 1), std::string::npos,
                       kTemporarySuffix) == 0) {
        found.push_back(pattern.directory + name);
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
  }

  FileError Info(Handle handle, FileInfo* info) override {
    *info = FileInfo{};
    if (GetFileType(Win32Handle(handle)) != FILE_TYPE_DISK) return FileError::kNone;
    BY_HANDLE_FILE_INFORMATION about{};
    if (!GetFileInformationByHandle(Win32Handle(handle), &about)) return ErrorOf(GetLastError());
    info->directory = (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info->regular = !info->directory;
    info->size = (static_cast<uint64_t>(about.nFileSizeHigh) << 32) | about.nFileSizeLow;
    info->volume = about.dwVolumeSerialNumber;
    info->index = (static_cast<uint64_t>(about.nFileIndexHigh) << 32) | about.nFileIndexLow;
    info->links = about.nNumberOfLinks;
    return FileError::kNone;
  }

  FileError InfoOf(const std::string& name, FileInfo* info) override {
    const HANDLE file = OpenExisting(name.c_str(), 0);
    if (file == INVALID_HANDLE_VALUE) return ErrorOf(GetLastError());
    const FileError error = Info(reinterpret_cast<Handle>(file), info);
    CloseHandle(file);
    return error;
  }

  FileError Read(Handle handle, void* buffer, size_t size, size_t* got) override {
    DWORD count = 0;
    const bool read = ReadFile(Win32Handle(handle), buffer, Chunk(size), &count, nullptr) != 0;
    *got = count;
    return Done(read);
  }

  FileError ReadAt(Handle handle, uint64_t offset, void* buffer, size_t size,
                   size_t* got) override {
    OVERLAPPED place = At(offset);
    DWORD count = 0;
    const bool read = ReadFile(Win32Handle(handle), buffer, Chunk(size), &count, &place) != 0;
    *got = count;
    return Done(read);
  }

  FileError Write(Handle handle, const void* bytes, size_t size, size_t* written) override {
    DWORD count = 0;
    const bool wrote = WriteFile(Win32Handle(handle), bytes, Chunk(size), &count, nullptr) != 0;
    *written = count;
    return Done(wrote);
  }

  FileError WriteAt(Handle handle, uint64_t offset, const void* bytes, size_t size,
                    size_t* written) override {
    OVERLAPPED place = At(offset);
    DWORD count = 0;
    const bool wrote = WriteFile(Win32Handle(handle), bytes, Chunk(size), &count, &place) != 0;
    *written = count;
    return Done(wrote);
  }

  FileError Flush(Handle handle) override { return Done(FlushFileBuffers(Win32Handle(handle))); }
  FileError Close(Handle handle) override { return Done(CloseHandle(Win32Handle(handle))); }

  // The replace below keeps the target's attributes and access rights itself.
  FileError SetOwner(Handle, uint32_t, uint32_t) override { return FileError::kNone; }
  FileError SetMode(Handle, uint32_t) override { return FileError::kNone; }
  uint32_t NewFileMode() override { return 0; }

  FileError ReplaceWith(const std::string& temporary, const std::string& target,
                        bool exists) override {
    if (!exists) {
      return Done(MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0);
    }
    return Done(ReplaceFileA(target.c_str(), temporary.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0 ||
                MoveFileExA(temporary.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0);
  }

  FileError Remove(const std::string& name) override {
    return Done(DeleteFileA(name.c_str()) != 0);
  }

  // One byte far beyond any data: Windows locks are mandatory, and the file's own bytes must
  // stay readable and writable through other handles.
  FileError Lock(Handle handle, bool wait) override {
    OVERLAPPED place{};
    place.Offset = 0xFFFFFFFEu;
    place.OffsetHigh = 0x7FFFFFFFu;
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return Done(LockFileEx(Win32Handle(handle), flags, 0, 1, 0, &place) != 0);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}
