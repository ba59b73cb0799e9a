// memory_save.cpp - write beside, then rename over. Saving in place would keep the tail of a
// longer old file behind the memory's bytes, mixing two boards in one file.
#include "nvm/memory_save.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The file a save really replaces: the target of a link, else the name itself.
fs::path RealTarget(const char* file_name) {
  std::error_code error;
  fs::path path(file_name);
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    fs::path resolved = fs::weakly_canonical(path, error);
    if (!error) return resolved;
  }
  return path;
}

// A name beside |target| that no file has yet.
fs::path UnusedNameBeside(const fs::path& target) {
  std::error_code error;
  for (int attempt = 0;; ++attempt) {
    fs::path candidate = target;
    candidate += ".save" + std::to_string(attempt);
    if (!fs::exists(fs::symlink_status(candidate, error))) return candidate;
  }
}

// Writes into |file|, unbuffered so that the count written is what reached it, and closes it.
SaveOutcome WriteAndClose(std::FILE* file, const uint8_t* bytes, size_t size, bool* complete) {
  std::setvbuf(file, nullptr, _IONBF, 0);
  const size_t written = std::fwrite(bytes, 1, size, file);
  const bool closed = std::fclose(file) == 0;
  *complete = written == size && closed;
  if (written == 0 && size != 0) return SaveOutcome::kWriteFailed;
  return *complete ? SaveOutcome::kSaved : SaveOutcome::kIncomplete;
}

}  // namespace

SaveOutcome SaveMemoryFile(const char* file_name, const uint8_t* bytes, size_t size) {
  const fs::path target = RealTarget(file_name);
  std::error_code error;
  const fs::file_status old = fs::status(target, error);
  bool complete = false;
  // A device or a pipe is written as it is: renaming over it would replace it.
  if (fs::exists(old) && !fs::is_regular_file(old)) {
    std::FILE* file = std::fopen(target.string().c_str(), "wb");
    if (file == nullptr) return SaveOutcome::kNotCreated;
    return WriteAndClose(file, bytes, size, &complete);
  }

  const fs::path temporary = UnusedNameBeside(target);
  std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
  if (file == nullptr) return SaveOutcome::kNotCreated;
  const SaveOutcome outcome = WriteAndClose(file, bytes, size, &complete);
  if (complete) {
    if (fs::exists(old)) fs::permissions(temporary, old.permissions(), error);
    error.clear();
    fs::rename(temporary, target, error);
    if (!error) return SaveOutcome::kSaved;
  }
  fs::remove(temporary, error);
  return outcome == SaveOutcome::kSaved ? SaveOutcome::kIncomplete : outcome;
}
