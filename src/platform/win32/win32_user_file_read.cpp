// win32_user_file_read.cpp - reading a user's file: only a file on a disk is read. A directory
// or a read error never passes as an empty file, and a pipe or a device never blocks the run or
// feeds it without end.
#include <windows.h>

#include <string>

#include "platform/user_file.h"

namespace {

HANDLE OpenRegular(const char* name) {
  const HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

// Reads until |capacity| bytes or the end; false on a read error.
bool ReadUpTo(HANDLE file, char* buffer, size_t capacity, size_t* count) {
  *count = 0;
  while (*count < capacity) {
    const size_t left = capacity - *count;
    const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(file, buffer + *count, chunk, &got, nullptr)) return false;
    if (got == 0) break;
    *count += got;
  }
  return true;
}

}  // namespace

bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count) {
  *count = 0;
  const HANDLE file = OpenRegular(name);
  if (file == INVALID_HANDLE_VALUE) return false;
  size_t got = 0;
  const bool read = ReadUpTo(file, static_cast<char*>(buffer), capacity, &got);
  CloseHandle(file);
  if (!read) return false;
  *count = got;
  return true;
}

bool ReadWholeUserFile(const char* name, size_t limit, std::string* contents) {
  contents->clear();
  const HANDLE file = OpenRegular(name);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char chunk[4096];
  size_t got = 0;
  bool read = true;
  while ((read = ReadUpTo(file, chunk, sizeof chunk, &got)) && got > 0 && text.size() <= limit) {
    text.append(chunk, got);
  }
  CloseHandle(file);
  if (!read || text.size() > limit) return false;
  *contents = std::move(text);
  return true;
}
