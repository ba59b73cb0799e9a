// memory_file_system.h - a file system in memory behind the FileSystem seam, for tests of the
// file logic on every system. It refuses what a real one would (a closed handle, a write to a
// file opened for reading, a rename onto a directory, a full disk, a pipe that would block),
// can write short, and can stop dead after any call as a run that dies there. Its reports tell
// what was misused and what was left open.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

class MemoryFileSystem : public FileSystem {
 public:
  // Names are paths from "/", which is always there and writable.
  void AddFile(const std::string& name, const std::string& contents, uint32_t mode = 0644);
  void AddDirectory(const std::string& name, bool takes_new_files = true);
  void AddLink(const std::string& name, const std::string& destination);
  void AddPipe(const std::string& name);

  bool Exists(const std::string& name) const { return entries_.count(name) != 0; }
  std::string Contents(const std::string& name) const;  // of a file; links not followed
  uint32_t ModeOf(const std::string& name) const;
  std::vector<std::string> Names() const;  // every entry, in order

  void SetSpace(size_t bytes) { space_ = bytes; }       // what the disk still takes
  void SetShortWrites(bool on) { short_writes_ = on; }  // a write takes half, at least a byte
  void SetNewFileMode(uint32_t mode) { new_file_mode_ = mode; }
  // The next replace takes the old file away and then fails, as a Windows replace can.
  void LoseTargetInNextReplace() { lose_target_ = true; }
  // Runs once before the next lock is granted: another run's doings while this one waits.
  void BeforeNextLock(std::function<void()> action) { before_lock_ = std::move(action); }
  // After |calls| more calls every call fails and changes nothing, as for a run that died.
  void CrashAfter(int calls) { crash_at_ = calls_ + calls; }
  // The run that died is gone: its files are closed, and calls work again.
  void Restart();
  int calls() const { return calls_; }

  const std::vector<std::string>& misuses() const { return misuses_; }
  std::vector<std::string> LeftOpen() const;  // the names of the handles not closed

  bool Resolve(const std::string& name, std::string* target) override;
  FileError Open(const std::string& name, FileAccess access, Handle* handle) override;
  FileError CreateBeside(const std::string& target, std::string* name, Handle* handle) override;
  std::vector<std::string> TemporariesBeside(const std::string& target) override;
  FileError Info(Handle handle, FileInfo* info) override;
  FileError InfoOf(const std::string& name, FileInfo* info) override;
  FileError Read(Handle handle, void* buffer, size_t size, size_t* got) override;
  FileError ReadAt(Handle handle, uint64_t offset, void* buffer, size_t size, size_t* got) override;
  FileError Write(Handle handle, const void* bytes, size_t size, size_t* written) override;
  FileError WriteAt(Handle handle, uint64_t offset, const void* bytes, size_t size,
                    size_t* written) override;
  FileError Flush(Handle handle) override;
  FileError Close(Handle handle) override;
  FileError SetOwner(Handle handle, uint32_t owner, uint32_t group) override;
  FileError SetMode(Handle handle, uint32_t mode) override;
  uint32_t NewFileMode() override { return new_file_mode_; }
  FileError ReplaceWith(const std::string& temporary, const std::string& target,
                        bool exists) override;
  FileError Remove(const std::string& name) override;
  FileError Lock(Handle handle, bool wait) override;
  std::string FailureText() override { return "refused by the file system in memory"; }

 private:
  enum class Kind { kFile, kDirectory, kLink, kPipe };
  struct Node {
    Kind kind = Kind::kFile;
    std::string data;  // a file's contents, a link's destination
    uint32_t mode = 0644;
    bool takes_new_files = true;
    uint64_t index = 0;
    Handle locked_by = kNoHandle;
  };
  struct OpenFile {
    std::string name;
    std::shared_ptr<Node> node;
    FileAccess access = FileAccess::kRead;
    uint64_t position = 0;
  };

  bool Crashed();
  std::shared_ptr<Node> Add(const std::string& name, Kind kind);
  std::shared_ptr<Node> Find(const std::string& name) const;
  FileError MayAddTo(const std::string& name) const;  // whose directory must take a new entry
  OpenFile* Opened(Handle handle, const char* call);
  FileError Put(OpenFile* file, uint64_t offset, const void* bytes, size_t size, size_t* written);

  std::map<std::string, std::shared_ptr<Node>> entries_;
  std::map<Handle, OpenFile> open_;
  std::vector<std::string> misuses_;
  Handle next_handle_ = 3;
  uint64_t next_index_ = 1;
  int temporaries_ = 0;
  size_t space_ = static_cast<size_t>(-1);
  bool short_writes_ = false;
  bool lose_target_ = false;
  std::function<void()> before_lock_;
  uint32_t new_file_mode_ = 0644;
  int calls_ = 0;
  int crash_at_ = -1;
};
