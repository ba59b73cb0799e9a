// user_file.cpp - the user-file and record services on the system's own file system.
#include "platform/user_file.h"
#include "platform/record_append.h"
#include "platform/user_file_logic.h"

bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count,
                  std::string* reason) {
  return ReadUserFileOn(SystemFileSystem(), name, buffer, capacity, count, reason);
}

bool ReadWholeUserFile(const char* name, size_t limit, std::string* contents, std::string* reason) {
  return ReadWholeUserFileOn(SystemFileSystem(), name, limit, contents, reason);
}

namespace {

// Large enough that a long record costs few system calls.
constexpr size_t kReaderBlockBytes = 1u << 20;

}  // namespace

UserFileReader::~UserFileReader() {
  if (handle_ != -1) SystemFileSystem().Close(handle_);
}

bool UserFileReader::Open(const char* name, std::string* reason) {
  if (handle_ != -1) SystemFileSystem().Close(handle_);
  handle_ = OpenRegularFileOn(SystemFileSystem(), name, reason);
  return handle_ != -1;
}

bool UserFileReader::Next(std::string_view* block) {
  *block = {};
  if (handle_ == -1) return false;
  buffer_.resize(kReaderBlockBytes);
  size_t count = 0;
  if (!ReadUpToOn(SystemFileSystem(), handle_, buffer_.data(), buffer_.size(), &count)) {
    return false;
  }
  *block = std::string_view(buffer_.data(), count);
  return true;
}

bool CanReplaceUserFile(const char* name) { return CanReplaceUserFileOn(SystemFileSystem(), name); }

ReplaceResult ReplaceUserFile(const char* name, const void* bytes, size_t size,
                              std::string* reason) {
  return ReplaceUserFileOn(SystemFileSystem(), name, bytes, size, reason);
}

bool SameUserFile(const char* first, const char* second) {
  return SameUserFileOn(SystemFileSystem(), first, second);
}

uint64_t UserFileNameCount(const char* name) {
  return UserFileNameCountOn(SystemFileSystem(), name);
}

UserFileLock::Result UserFileLock::Acquire(const char* name, bool wait) {
  Release();
  return LockUserFileOn(SystemFileSystem(), name, wait, &handle_);
}

void UserFileLock::RemoveLostReplacements(const char* name) {
  if (held()) RemoveLostReplacementsOn(SystemFileSystem(), name, handle_);
}

void UserFileLock::Release() {
  if (handle_ == kNoHandle) return;
  SystemFileSystem().Close(handle_);  // closing the file drops the lock
  handle_ = kNoHandle;
}

bool CanAppendToFile(const char* path) { return CanAppendToFileOn(SystemFileSystem(), path); }

bool AppendLineFlushed(const char* path, const std::string& header, const std::string& line) {
  return AppendLineFlushedOn(SystemFileSystem(), path, header, line);
}
