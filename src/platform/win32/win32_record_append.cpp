// win32_record_append.cpp - the record append on Windows: FILE_APPEND_DATA makes the one write
// land at the end, FlushFileBuffers puts it on the disk.
#include <windows.h>

#include <string>

#include "platform/record_append.h"

namespace {

// The record opened for appending; INVALID_HANDLE_VALUE when it cannot be, or is no file on a
// disk (a device would swallow the lines, a pipe block the run).
HANDLE OpenForAppend(const char* path) {
  const HANDLE file =
      CreateFileA(path, FILE_APPEND_DATA | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

}  // namespace

bool CanAppendToFile(const char* path) {
  const HANDLE file = OpenForAppend(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool AppendLineFlushed(const char* path, const std::string& header, const std::string& line) {
  const HANDLE file = OpenForAppend(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool done = GetFileSizeEx(file, &size) != 0;
  char last = '\n';
  DWORD got = 0;
  if (done && size.QuadPart > 0) {
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(size.QuadPart - 1);
    place.OffsetHigh = static_cast<DWORD>(size.QuadPart >> 32);
    done = ReadFile(file, &last, 1, &got, &place) && got == 1;
  }
  std::string text = last != '\n' ? "\n" : "";
  if (done && size.QuadPart == 0) text += header;
  text += line;
  DWORD written = 0;
  done = done && WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
  done = done && FlushFileBuffers(file) != 0;
  return CloseHandle(file) != 0 && done;
}
