// record_append.cpp - appending a line to a record: the one write lands at the end even when
// another station appends to the same file, and is flushed to the disk before the call returns.
#include <string>

#include "platform/user_file_logic.h"

namespace {

// The record opened for appending; kNoHandle when it cannot be, or is no regular file (a device
// would swallow the lines, a pipe block the run).
FileSystem::Handle OpenForAppend(FileSystem& files, const char* path, FileInfo* info) {
  FileSystem::Handle file = FileSystem::kNoHandle;
  if (files.Open(path, FileAccess::kAppend, &file) != FileError::kNone) {
    return FileSystem::kNoHandle;
  }
  if (files.Info(file, info) != FileError::kNone || !info->regular) {
    files.Close(file);
    return FileSystem::kNoHandle;
  }
  return file;
}

}  // namespace

bool CanAppendToFileOn(FileSystem& files, const char* path) {
  FileInfo info;
  const FileSystem::Handle file = OpenForAppend(files, path, &info);
  if (file == FileSystem::kNoHandle) return false;
  files.Close(file);
  return true;
}

bool AppendLineFlushedOn(FileSystem& files, const char* path, const std::string& header,
                         const std::string& line) {
  FileInfo info;
  const FileSystem::Handle file = OpenForAppend(files, path, &info);
  if (file == FileSystem::kNoHandle) return false;
  char last = '\n';
  size_t got = 0;
  const bool done =
      info.size == 0 ||
      (files.ReadAt(file, info.size - 1, &last, 1, &got) == FileError::kNone && got == 1);
  std::string text = last != '\n' ? "\n" : "";
  if (info.size == 0) text += header;
  text += line;
  size_t written = 0;
  bool ok = done && files.Write(file, text.data(), text.size(), &written) == FileError::kNone &&
            written == text.size();
  ok = ok && files.Flush(file) == FileError::kNone;
  return files.Close(file) == FileError::kNone && ok;
}
