// request_log.cpp - formatting, appending and reading the request log.
#include "emu/request_log.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace emu {

std::string FormatLogEntry(const LogEntry& entry) {
  char line[160];
  if (entry.failed) {
    std::snprintf(line, sizeof line,
                  "cmd=%" PRIu32 " in=%" PRIu32 " sig=0x%" PRIx32 " adapter=%" PRIu32
                  " param=0x%08" PRIx32 " error=%" PRIu32,
                  entry.command, entry.in_length, entry.signature, entry.adapter, entry.parameter,
                  entry.error);
  } else {
    std::snprintf(line, sizeof line,
                  "cmd=%" PRIu32 " in=%" PRIu32 " sig=0x%" PRIx32 " adapter=%" PRIu32
                  " param=0x%08" PRIx32 " status=%" PRIu32 " returned=%" PRIu32,
                  entry.command, entry.in_length, entry.signature, entry.adapter, entry.parameter,
                  entry.status, entry.returned);
  }
  return line;
}

bool ParseLogEntry(const std::string& line, LogEntry* entry) {
  LogEntry parsed;
  unsigned seen = 0;
  std::istringstream words(line);
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    char* end = nullptr;
    const unsigned long long number = std::strtoull(value.c_str(), &end, 0);
    if (value.empty() || *end != '\0' || number > 0xFFFFFFFFull) return false;
    const auto as32 = static_cast<uint32_t>(number);
    if (key == "cmd") {
      parsed.command = as32;
      seen |= 1;
    } else if (key == "in") {
      parsed.in_length = as32;
      seen |= 2;
    } else if (key == "sig") {
      parsed.signature = as32;
      seen |= 4;
    } else if (key == "adapter") {
      parsed.adapter = as32;
      seen |= 8;
    } else if (key == "param") {
      parsed.parameter = as32;
      seen |= 16;
    } else if (key == "status") {
      parsed.status = as32;
      seen |= 32;
    } else if (key == "error") {
      parsed.error = as32;
      parsed.failed = true;
      seen |= 32;
    } else if (key == "returned") {
      parsed.returned = as32;
    }
  }
  if (seen != 63) return false;
  *entry = parsed;
  return true;
}

std::string LogPath(const std::string& directory) { return directory + "/" + kLogFileName; }

bool AppendLog(const std::string& directory, const LogEntry& entry) {
  FILE* file = std::fopen(LogPath(directory).c_str(), "a");
  if (file == nullptr) return false;
  const std::string line = FormatLogEntry(entry) + "\n";
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written;
}

std::vector<LogEntry> ReadLog(const std::string& directory) {
  std::vector<LogEntry> entries;
  std::ifstream in(LogPath(directory));
  std::string line;
  while (std::getline(in, line)) {
    LogEntry entry;
    if (ParseLogEntry(line, &entry)) entries.push_back(entry);
  }
  return entries;
}

bool ClearLog(const std::string& directory) {
  FILE* file = std::fopen(LogPath(directory).c_str(), "w");
  return file != nullptr && std::fclose(file) == 0;
}

}  // namespace emu
