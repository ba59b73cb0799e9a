// request_log.cpp - formatting, appending and reading the request log.
#include "emu/request_log.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace emu {

std::string FormatLogEntry(const LogEntry& entry) {
  char line[160];
  if (entry.failed) {
    std::snprintf(line, sizeof line,
                  "cmd=%" PRIu32 " in=%" PRIu32 " sig=0x%" PRIx32 " adapter=%" PRIu32
                  " param=0x%08" PRIx32 " data=0x%08" PRIx32 " error=%" PRIu32,
                  entry.command, entry.in_length, entry.signature, entry.adapter, entry.parameter,
                  entry.data, entry.error);
  } else {
    std::snprintf(line, sizeof line,
                  "cmd=%" PRIu32 " in=%" PRIu32 " sig=0x%" PRIx32 " adapter=%" PRIu32
                  " param=0x%08" PRIx32 " data=0x%08" PRIx32 " status=%" PRIu32
                  " returned=%" PRIu32,
                  entry.command, entry.in_length, entry.signature, entry.adapter, entry.parameter,
                  entry.data, entry.status, entry.returned);
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
    } else if (key == "data") {
      parsed.data = as32;
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

bool RequestLog::Open(const std::string& directory) {
  Close();
  fd_ = open(LogPath(directory).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool RequestLog::Append(const LogEntry& entry) {
  if (fd_ < 0) return false;
  // One write of the whole line: with O_APPEND, lines of processes sharing the log never mix.
  const std::string line = FormatLogEntry(entry) + "\n";
  ssize_t written = 0;
  do {
    written = write(fd_, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(line.size());
}

void RequestLog::Close() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
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
