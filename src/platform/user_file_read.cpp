// user_file_read.cpp - reading a user's file: only a regular file is read. A directory or a read
// error never passes as an empty file, and a pipe or a device never blocks the run or feeds it
// without end.
#include <string>
#include <utility>

#include "platform/user_file_logic.h"

using Handle = FileSystem::Handle;

namespace {

// Says why in |*reason| (when given) and returns false.
bool Refuse(std::string* reason, std::string why) {
  if (reason != nullptr) *reason = std::move(why);
  return false;
}

}  // namespace

Handle OpenRegularFileOn(FileSystem& files, const char* name, std::string* reason) {
  Handle file = FileSystem::kNoHandle;
  FileInfo info;
  if (files.Open(name, FileAccess::kRead, &file) != FileError::kNone) {
    // A system that does not open a directory as a file says only that access was denied.
    std::string why = files.FailureText();
    if (files.InfoOf(name, &info) == FileError::kNone && info.directory) why = "is a directory";
    Refuse(reason, why);
    return FileSystem::kNoHandle;
  }
  if (files.Info(file, &info) != FileError::kNone) {
    Refuse(reason, files.FailureText());
  } else if (!info.regular) {
    Refuse(reason, info.directory ? "is a directory" : "not a regular file");
  } else {
    return file;
  }
  files.Close(file);
  return FileSystem::kNoHandle;
}

bool ReadUpToOn(FileSystem& files, Handle file, char* buffer, size_t capacity, size_t* count,
                std::string* reason) {
  *count = 0;
  while (*count < capacity) {
    size_t got = 0;
    const FileError error = files.Read(file, buffer + *count, capacity - *count, &got);
    if (error == FileError::kInterrupted) continue;
    if (error != FileError::kNone) return Refuse(reason, files.FailureText());
    if (got == 0) break;
    *count += got;
  }
  return true;
}

bool ReadUserFileOn(FileSystem& files, const char* name, void* buffer, size_t capacity,
                    size_t* count, std::string* reason) {
  *count = 0;
  const Handle file = OpenRegularFileOn(files, name, reason);
  if (file == FileSystem::kNoHandle) return false;
  size_t got = 0;
  const bool read = ReadUpToOn(files, file, static_cast<char*>(buffer), capacity, &got, reason);
  files.Close(file);
  if (!read) return false;
  *count = got;
  return true;
}

bool ReadWholeUserFileOn(FileSystem& files, const char* name, size_t limit, std::string* contents,
                         std::string* reason) {
  contents->clear();
  const Handle file = OpenRegularFileOn(files, name, reason);
  if (file == FileSystem::kNoHandle) return false;
  std::string text;
  char chunk[4096];
  size_t got = 0;
  bool read = true;
  // Read to the end rather than to the size seen: the file may grow while it is read.
  while ((read = ReadUpToOn(files, file, chunk, sizeof chunk, &got, reason)) && got > 0 &&
         text.size() <= limit) {
    text.append(chunk, got);
  }
  files.Close(file);
  if (!read) return false;
  if (text.size() > limit) return Refuse(reason, "larger than " + std::to_string(limit) + " bytes");
  *contents = std::move(text);
  return true;
}
