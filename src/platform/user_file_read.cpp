// user_file_read.cpp - reading a user's file: what cannot be read to the requested length or to
// its end is no file at all, so a directory or a read error never passes as an empty file.
#include <cstdio>

#include "platform/user_file.h"

bool ReadUserFile(const char* name, void* buffer, size_t capacity, size_t* count) {
  *count = 0;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  const size_t read = std::fread(buffer, 1, capacity, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return false;
  *count = read;
  return true;
}
