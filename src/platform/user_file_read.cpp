// user_file_read.cpp - reading a user's file: only a regular file is read. A directory or a read
// error never passes as an empty file, and a pipe or a device never blocks the run or feeds it
// without end.
#include <string>

#include "platform/user_file_logic.h"

using Handle = FileSystem::Handle;

Handle OpenRegularFileOn(FileSystem& files, const char* name) {
  Handle file = FileSystem::kNoHandle;
  if (files.Open(name, FileAccess::kRead, &file) != FileError::kNone) return FileSystem::kNoHandle;
  FileInfo info;
  if (files.Info(file, &info) != FileError::kNone || !info.regular) {
    files.Close(file);
    return FileSystem::kNoHandle;
  }
  return file;
}

bool ReadUpToOn(FileSystem& files, Handle file, char* buffer, size_t capacity, size_t* count) {
  *count = 0;
  while (*count < capacity) {
    size_t got = 0;
    const FileError error = files.Read(file, buffer + *count, capacity - *count, &got);
    if (error == FileError::kInterrupted) continue;
    if (error != FileError::kNone) return false;
    if (got == 0) break;
    *count += got;
  }
  return true;
}

bool ReadUserFileOn(FileSystem& files, const char* name, void* buffer, size_t capacity,
                    size_t* count) {
  *count = 0;
  const Handle file = OpenRegularFileOn(files, name);
  if (file == FileSystem::kNoHandle) return false;
  size_t got = 0;
  const bool read = ReadUpToOn(files, file, static_cast<char*>(buffer), capacity, &got);
  files.Close(file);
  if (!read) return false;
  *count = got;
  return true;
}

bool ReadWholeUserFileOn(FileSystem& files, const char* name, size_t limit, std::string* contents) {
  contents->clear();
  const Handle file = OpenRegularFileOn(files, name);
  if (file == FileSystem::kNoHandle) return false;
  std::string text;
  char chunk[4096];
  size_t got = 0;
  bool read = true;
  // Read to the end rather than to the size seen: the file may grow while it is read.
  while ((read = ReadUpToOn(files, file, chunk, sizeof chunk, &got)) && got > 0 &&
         text.size() <= limit) {
    text.append(chunk, got);
  }
  files.Close(file);
  if (!read || text.size() > limit) return false;
  *contents = std::move(text);
  return true;
}
