// win32_record_append.cpp - the record append on Windows: FILE_APPEND_DATA makes the one write
// land at the end, FlushFileBuffers puts it on the disk.
#include <windows.h>

#include "platform/record_append.h"

namespace {

HANDLE OpenForAppend(const char* path) {
  return CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  const std::string text = done && size.QuadPart == 0 ? header + line : line;
  DWORD written = 0;
  done = done && WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
  done = done && FlushFileBuffers(file) != 0;
  return CloseHandle(file) != 0 && done;
}
