// request_log.cpp - formatting, gathering and writing out, and reading the request log.
#include "emu/request_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace emu {

namespace {

constexpr size_t kLineCapacity = 160;  // the longest line is 134 bytes with its newline
constexpr size_t kPendingCapacity = 64 * 1024;
constexpr char kHexDigits[] = "0123456789abcdef";

template <size_t N>
char* PutText(char* out, const char (&text)[N]) {
  std::memcpy(out, text, N - 1);
  return out + N - 1;
}

char* PutDecimal(char* out, uint32_t value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Lowercase, at least |width| digits.
char* PutHex(char* out, uint32_t value, int width) {
  int count = 1;
  while (count < 8 && (value >> (4 * count)) != 0) ++count;
  count = std::max(count, width);
  for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
    *out++ = kHexDigits[(value >> shift) & 0xF];
  return out;
}

// The line and its newline into |line| (kLineCapacity bytes); returns its length. Digits are
// put by hand: a download logs a line per request, and a formatted print of eight numbers cost
// more than answering the request.
size_t FormatLine(const LogEntry& entry, char* line) {
  char* out = PutText(line, "cmd=");
  out = PutDecimal(out, entry.command);
  out = PutText(out, " in=");
  out = PutDecimal(out, entry.in_length);
  out = PutText(out, " sig=0x");
  out = PutHex(out, entry.signature, 1);
  out = PutText(out, " adapter=");
  out = PutDecimal(out, entry.adapter);
  out = PutText(out, " param=0x");
  out = PutHex(out, entry.parameter, 8);
  out = PutText(out, " data=0x");
  out = PutHex(out, entry.data, 8);
  if (entry.failed) {
    out = PutText(out, " error=");
    out = PutDecimal(out, entry.error);
  } else {
    out = PutText(out, " status=");
    out = PutDecimal(out, entry.status);
    out = PutText(out, " returned=");
    out = PutDecimal(out, entry.returned);
  }
  *out++ = '\n';
  return static_cast<size_t>(out - line);
}

}  // namespace

std::string FormatLogEntry(const LogEntry& entry) {
  char line[kLineCapacity];
  return std::string(line, FormatLine(entry, line) - 1);
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
  if (fd_ >= 0) pending_.reserve(kPendingCapacity);
  return fd_ >= 0;
}

bool RequestLog::Append(const LogEntry& entry) {
  if (fd_ < 0) return false;
  char line[kLineCapacity];
  const size_t length = FormatLine(entry, line);
  const bool flushed = pending_.size() + length <= kPendingCapacity || Flush();
  pending_.append(line, length);
  return flushed;
}

bool RequestLog::Flush() {
  // Whole lines in each write, and O_APPEND: lines of processes sharing the log never mix.
  size_t done = 0;
  bool written = fd_ >= 0;
  while (written && done < pending_.size()) {
    const ssize_t count = write(fd_, pending_.data() + done, pending_.size() - done);
    if (count < 0 && errno == EINTR) continue;
    written = count > 0;
    if (written) done += static_cast<size_t>(count);
  }
  pending_.clear();
  return written;
}

void RequestLog::Close() {
  if (fd_ < 0) return;
  Flush();
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
