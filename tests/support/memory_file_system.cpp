// memory_file_system.cpp - the in-memory file system of the tests.
#include "support/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxLinkHops = 40;

std::string DirectoryOf(const std::string& name) {
  const size_t slash = name.rfind('/');
  return slash == std::string::npos || slash == 0 ? "/" : name.substr(0, slash);
}

bool Writes(FileAccess access) { return access != FileAccess::kRead; }

}  // namespace

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::Add(const std::string& name, Kind kind) {
  auto node = std::make_shared<Node>();
  node->kind = kind;
  node->index = next_index_++;
  entries_[name] = node;
  return node;
}

void MemoryFileSystem::AddFile(const std::string& name, const std::string& contents,
                               uint32_t mode) {
  const auto node = Add(name, Kind::kFile);
  node->data = contents;
  node->mode = mode;
}

void MemoryFileSystem::AddDirectory(const std::string& name, bool takes_new_files) {
  Add(name, Kind::kDirectory)->takes_new_files = takes_new_files;
}

void MemoryFileSystem::AddLink(const std::string& name, const std::string& destination) {
  Add(name, Kind::kLink)->data = destination;
}

void MemoryFileSystem::AddPipe(const std::string& name) { Add(name, Kind::kPipe); }

std::string MemoryFileSystem::Contents(const std::string& name) const {
  const auto node = Find(name);
  return node != nullptr ? node->data : std::string();
}

uint32_t MemoryFileSystem::ModeOf(const std::string& name) const {
  const auto node = Find(name);
  return node != nullptr ? node->mode : 0;
}

std::vector<std::string> MemoryFileSystem::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : entries_) names.push_back(entry.first);
  return names;
}

std::vector<std::string> MemoryFileSystem::LeftOpen() const {
  std::vector<std::string> names;
  for (const auto& entry : open_) names.push_back(entry.second.name);
  return names;
}

void MemoryFileSystem::Restart() {
  crash_at_ = -1;
  for (auto& entry : entries_) entry.second->locked_by = kNoHandle;
  open_.clear();
}

bool MemoryFileSystem::Crashed() {
  ++calls_;
  return crash_at_ >= 0 && calls_ > crash_at_;
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::Find(const std::string& name) const {
  if (name == "/") return nullptr;
  const auto entry = entries_.find(name);
  return entry == entries_.end() ? nullptr : entry->second;
}

FileError MemoryFileSystem::MayAddTo(const std::string& name) const {
  const std::string directory = DirectoryOf(name);
  if (directory == "/") return FileError::kNone;
  const auto node = Find(directory);
  if (node == nullptr) return FileError::kMissing;
  if (node->kind != Kind::kDirectory) return FileError::kOther;
  return node->takes_new_files ? FileError::kNone : FileError::kDenied;
}

MemoryFileSystem::OpenFile* MemoryFileSystem::Opened(Handle handle, const char* call) {
  const auto entry = open_.find(handle);
  if (entry != open_.end()) return &entry->second;
  misuses_.push_back(std::string(call) + " on a handle that is not open");
  return nullptr;
}

bool MemoryFileSystem::Resolve(const std::string& name, std::string* target) {
  if (Crashed()) return false;
  std::string path = name;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    const auto node = Find(path);
    if (node == nullptr || node->kind != Kind::kLink) {
      *target = path;
      return true;
    }
    const std::string directory = DirectoryOf(path);
    path =
        node->data[0] == '/' ? node->data : (directory == "/" ? "" : directory) + "/" + node->data;
  }
  return false;
}

FileError MemoryFileSystem::Open(const std::string& name, FileAccess access, Handle* handle) {
  *handle = kNoHandle;
  if (Crashed()) return FileError::kOther;
  std::string target;
  if (!Resolve(name, &target)) return FileError::kOther;
  --calls_;  // resolving is part of the open
  auto node = Find(target);
  if (node == nullptr && access == FileAccess::kAppend) {
    const FileError allowed = MayAddTo(target);
    if (allowed != FileError::kNone) return allowed;
    node = Add(target, Kind::kFile);
    node->mode = new_file_mode_;
  }
  if (node == nullptr) return FileError::kMissing;
  // A directory opens only for reading, as on a POSIX system.
  if (node->kind == Kind::kDirectory && Writes(access)) return FileError::kOther;
  if (node->kind == Kind::kFile && Writes(access) && (node->mode & 0200) == 0) {
    return FileError::kDenied;
  }
  *handle = next_handle_++;
  open_[*handle] = OpenFile{target, node, access, 0};
  return FileError::kNone;
}

FileError MemoryFileSystem::CreateBeside(const std::string& target, std::string* name,
                                         Handle* handle) {
  *handle = kNoHandle;
  if (Crashed()) return FileError::kOther;
  const FileError allowed = MayAddTo(target);
  if (allowed != FileError::kNone) return allowed;
  const std::string directory = DirectoryOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  do {
    *name =
        (directory == "/" ? "" : directory) + "/." + base + "." + std::to_string(++temporaries_);
  } while (Find(*name) != nullptr);
  const auto node = Add(*name, Kind::kFile);
  node->mode = 0600;
  *handle = next_handle_++;
  open_[*handle] = OpenFile{*name, node, FileAccess::kUpdate, 0};
  return FileError::kNone;
}

std::vector<std::string> MemoryFileSystem::TemporariesBeside(const std::string& target) {
  const std::string directory = DirectoryOf(target);
  const std::string prefix =
      (directory == "/" ? "" : directory) + "/." + target.substr(target.rfind('/') + 1) + ".";
  std::vector<std::string> found;
  for (const auto& [name, node] : entries_) {
    const bool numbered = name.size() > prefix.size() && name.rfind(prefix, 0) == 0 &&
                          name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
    if (numbered && node->kind == Kind::kFile) found.push_back(name);
  }
  return found;
}

FileError MemoryFileSystem::Info(Handle handle, FileInfo* info) {
  if (Crashed()) return FileError::kOther;
  const OpenFile* file = Opened(handle, "Info");
  if (file == nullptr) return FileError::kOther;
  const Node& node = *file->node;
  *info = FileInfo{node.kind == Kind::kFile, node.data.size(), node.mode, 0, 0, 1, node.index};
  info->directory = node.kind == Kind::kDirectory;
  return FileError::kNone;
}

FileError MemoryFileSystem::InfoOf(const std::string& name, FileInfo* info) {
  if (Crashed()) return FileError::kOther;
  std::string target;
  if (!Resolve(name, &target)) return FileError::kOther;
  --calls_;
  const auto node = Find(target);
  if (node == nullptr) return FileError::kMissing;
  *info = FileInfo{node->kind == Kind::kFile, node->data.size(), node->mode, 0, 0, 1, node->index};
  info->directory = node->kind == Kind::kDirectory;
  return FileError::kNone;
}

FileError MemoryFileSystem::Read(Handle handle, void* buffer, size_t size, size_t* got) {
  *got = 0;
  OpenFile* file = Crashed() ? nullptr : Opened(handle, "Read");
  if (file == nullptr) return FileError::kOther;
  const FileError error = ReadAt(handle, file->position, buffer, size, got);
  --calls_;
  file->position += *got;
  return error;
}

FileError MemoryFileSystem::ReadAt(Handle handle, uint64_t offset, void* buffer, size_t size,
                                   size_t* got) {
  *got = 0;
  const OpenFile* file = Crashed() ? nullptr : Opened(handle, "ReadAt");
  if (file == nullptr) return FileError::kOther;
  if (file->node->kind == Kind::kPipe) {
    misuses_.push_back("read from a pipe, which waits for a writer that never comes");
    return FileError::kOther;
  }
  if (file->node->kind != Kind::kFile) return FileError::kOther;  // a directory is not read
  const std::string& data = file->node->data;
  if (offset >= data.size()) return FileError::kNone;
  *got = std::min(size, data.size() - offset);
  std::memcpy(buffer, data.data() + offset, *got);
  return FileError::kNone;
}

FileError MemoryFileSystem::Put(OpenFile* file, uint64_t offset, const void* bytes, size_t size,
                                size_t* written) {
  *written = 0;
  if (!Writes(file->access)) {
    misuses_.push_back("write to " + file->name + ", opened for reading only");
    return FileError::kOther;
  }
  std::string& data = file->node->data;
  if (short_writes_ && size > 1) size /= 2;
  const size_t end = static_cast<size_t>(offset) + size;
  const size_t growth = end > data.size() ? end - data.size() : 0;
  if (growth > space_) size -= growth - space_;
  if (size == 0) return FileError::kOther;  // the disk is full
  if (data.size() < offset + size) {
    space_ -= offset + size - data.size();
    data.resize(static_cast<size_t>(offset) + size);
  }
  std::memcpy(data.data() + offset, bytes, size);
  *written = size;
  return FileError::kNone;
}

FileError MemoryFileSystem::Write(Handle handle, const void* bytes, size_t size, size_t* written) {
  *written = 0;
  OpenFile* file = Crashed() ? nullptr : Opened(handle, "Write");
  if (file == nullptr) return FileError::kOther;
  if (file->access == FileAccess::kAppend) file->position = file->node->data.size();
  const FileError error = Put(file, file->position, bytes, size, written);
  file->position += *written;
  return error;
}

FileError MemoryFileSystem::WriteAt(Handle handle, uint64_t offset, const void* bytes, size_t size,
                                    size_t* written) {
  *written = 0;
  OpenFile* file = Crashed() ? nullptr : Opened(handle, "WriteAt");
  if (file == nullptr) return FileError::kOther;
  return Put(file, offset, bytes, size, written);
}

FileError MemoryFileSystem::Flush(Handle handle) {
  if (Crashed()) return FileError::kOther;
  return Opened(handle, "Flush") != nullptr ? FileError::kNone : FileError::kOther;
}

FileError MemoryFileSystem::Close(Handle handle) {
  if (Crashed()) return FileError::kOther;
  OpenFile* file = Opened(handle, "Close");
  if (file == nullptr) return FileError::kOther;
  if (file->node->locked_by == handle) file->node->locked_by = kNoHandle;
  open_.erase(handle);
  return FileError::kNone;
}

FileError MemoryFileSystem::SetOwner(Handle handle, uint32_t /*owner*/, uint32_t /*group*/) {
  if (Crashed()) return FileError::kOther;
  return Opened(handle, "SetOwner") != nullptr ? FileError::kNone : FileError::kOther;
}

FileError MemoryFileSystem::SetMode(Handle handle, uint32_t mode) {
  OpenFile* file = Crashed() ? nullptr : Opened(handle, "SetMode");
  if (file == nullptr) return FileError::kOther;
  file->node->mode = mode;
  return FileError::kNone;
}

FileError MemoryFileSystem::ReplaceWith(const std::string& temporary, const std::string& target,
                                        bool /*exists*/) {
  if (Crashed()) return FileError::kOther;
  const auto moved = Find(temporary);
  if (moved == nullptr) return FileError::kMissing;
  const auto old = Find(target);
  if (old != nullptr && old->kind == Kind::kDirectory) return FileError::kOther;
  const FileError allowed = MayAddTo(target);
  if (allowed != FileError::kNone) return allowed;
  if (lose_target_) {
    lose_target_ = false;
    entries_.erase(target);
    return FileError::kOther;
  }
  entries_[target] = moved;
  entries_.erase(temporary);
  return FileError::kNone;
}

FileError MemoryFileSystem::Remove(const std::string& name) {
  if (Crashed()) return FileError::kOther;
  if (Find(name) == nullptr) return FileError::kMissing;
  const FileError allowed = MayAddTo(name);
  if (allowed != FileError::kNone) return allowed;
  entries_.erase(name);
  return FileError::kNone;
}

FileError MemoryFileSystem::Lock(Handle handle, bool wait) {
  OpenFile* file = Crashed() ? nullptr : Opened(handle, "Lock");
  if (file == nullptr) return FileError::kOther;
  if (before_lock_) {
    const auto action = std::move(before_lock_);
    before_lock_ = nullptr;
    action();
  }
  Node& node = *file->node;
  if (node.locked_by == kNoHandle || node.locked_by == handle) {
    node.locked_by = handle;
    return FileError::kNone;
  }
  if (wait) misuses_.push_back("wait for a lock that no one else can let go");
  return FileError::kBusy;
}
