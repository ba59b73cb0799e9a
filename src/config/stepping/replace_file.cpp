// replace_file.cpp - write beside, then rename over.
#include "config/stepping/replace_file.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

bool ReplaceFileBytes(const char* file_name, const void* bytes, size_t size, Console& console) {
  const std::string temporary = std::string(file_name) + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    console.Error("Couldn't create file %s\n", file_name);
    return false;
  }
  const bool written = std::fwrite(bytes, 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  std::error_code error;
  // Replaces an existing file in one step, on Windows as elsewhere.
  if (written && closed) std::filesystem::rename(temporary, file_name, error);
  if (!written || !closed || error) {
    std::remove(temporary.c_str());
    console.Error("Couldn't write file %s\n", file_name);
    return false;
  }
  return true;
}
