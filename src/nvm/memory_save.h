// memory_save.h - saving the contents of a device memory into a file the user names: the file
// afterwards holds exactly those bytes, and a failure part way leaves any old file as it was.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SaveOutcome {
  kSaved,
  kNotCreated,   // no file could be created beside the target
  kWriteFailed,  // nothing could be written
  kIncomplete,   // part written, or the file could not be put in place
};

// Writes |size| bytes into a new file beside |file_name| (beside the file a link points to),
// with the old file's permissions, and renames it over the target.
SaveOutcome SaveMemoryFile(const char* file_name, const uint8_t* bytes, size_t size);
