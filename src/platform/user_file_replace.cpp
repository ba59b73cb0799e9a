// user_file_replace.cpp - replacing a user's file so that it is never lost or left half written:
// the new contents go to a new file beside it, are flushed and put in its place in one step.
#include "platform/changed_span.h"
#include "platform/user_file_logic.h"

namespace {

using Handle = FileSystem::Handle;

bool WriteAll(FileSystem& files, Handle file, const void* bytes, size_t size) {
  const auto* next = static_cast<const char*>(bytes);
  while (size > 0) {
    size_t written = 0;
    const FileError error = files.Write(file, next, size, &written);
    if (error == FileError::kInterrupted) continue;
    if (error != FileError::kNone || written == 0) return false;
    next += written;
    size -= written;
  }
  return true;
}

// For a directory that takes no new file: contents of the old length go over the old ones, only
// the bytes that differ and in one write, so that a run dying at any moment leaves either the old
// or the new contents. Another length would need the file cut first, and is refused.
ReplaceResult WriteThrough(FileSystem& files, const std::string& target, const void* bytes,
                           size_t size, std::string* reason) {
  Handle file = FileSystem::kNoHandle;
  if (files.Open(target, FileAccess::kUpdate, &file) != FileError::kNone) {
    *reason = files.FailureText();
    return ReplaceResult::kNotCreated;
  }
  FileInfo info;
  std::string old(size, '\0');
  size_t got = 0;
  const bool same_size =
      files.Info(file, &info) == FileError::kNone && info.regular && info.size == size &&
      files.ReadAt(file, 0, old.data(), size, &got) == FileError::kNone && got == size;
  if (!same_size) {
    files.Close(file);
    *reason = "its folder takes no new file, and the file cannot be cut to the new length";
    return ReplaceResult::kNotCreated;
  }
  const auto* next = static_cast<const char*>(bytes);
  const ChangedSpan span = FindChangedSpan(old.data(), next, size);
  const size_t count = span.end - span.first;
  size_t written = 0;
  bool done = count == 0 || (files.WriteAt(file, span.first, next + span.first, count, &written) ==
                                 FileError::kNone &&
                             written == count);
  done = done && files.Flush(file) == FileError::kNone;
  done = files.Close(file) == FileError::kNone && done;
  return done ? ReplaceResult::kReplaced : ReplaceResult::kNotWritten;
}

// The new file gets the old one's owner where the user may give it away (as root), and its
// permissions always; a file that replaces nothing gets those of any new file.
bool TakeOverPermissions(FileSystem& files, Handle file, const FileInfo* old) {
  if (old == nullptr) return files.SetMode(file, files.NewFileMode()) == FileError::kNone;
  files.SetOwner(file, old->owner, old->group);
  return files.SetMode(file, old->mode) == FileError::kNone;
}

}  // namespace

ReplaceResult ReplaceUserFileOn(FileSystem& files, const char* name, const void* bytes, size_t size,
                                std::string* reason) {
  std::string unused;
  if (reason == nullptr) reason = &unused;
  std::string target;
  if (!files.Resolve(name, &target)) {
    *reason = files.FailureText();
    return ReplaceResult::kNotCreated;
  }
  FileInfo old;
  const bool exists = files.InfoOf(target, &old) == FileError::kNone;
  if (exists && !old.regular) {
    *reason = old.directory ? "is a directory" : "not a regular file";
    return ReplaceResult::kNotCreated;
  }

  std::string temporary;
  Handle file = FileSystem::kNoHandle;
  const FileError created = files.CreateBeside(target, &temporary, &file);
  if (created != FileError::kNone) {
    *reason = files.FailureText();
    if (exists && created == FileError::kDenied) {
      return WriteThrough(files, target, bytes, size, reason);
    }
    return ReplaceResult::kNotCreated;
  }
  bool done = TakeOverPermissions(files, file, exists ? &old : nullptr);
  done = done && WriteAll(files, file, bytes, size) && files.Flush(file) == FileError::kNone;
  done = files.Close(file) == FileError::kNone && done;
  done = done && files.ReplaceWith(temporary, target, exists) == FileError::kNone;
  if (!done) {
    *reason = files.FailureText();
    // A replace that failed after taking the old file away leaves the new contents only in the
    // temporary file: it is kept then.
    FileInfo now;
    if (!exists || files.InfoOf(target, &now) == FileError::kNone) files.Remove(temporary);
    return ReplaceResult::kNotWritten;
  }
  return ReplaceResult::kReplaced;
}

bool CanReplaceUserFileOn(FileSystem& files, const char* name) {
  std::string target;
  if (!files.Resolve(name, &target)) return false;
  FileInfo info;
  const FileError error = files.InfoOf(target, &info);
  if (error != FileError::kNone) return error == FileError::kMissing;
  return info.regular;
}
