// request_log.h - the request log of an emulator directory: one line per request, appended as it
// is answered, shared by all adapters of the directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emu {

constexpr char kLogFileName[] = "requests.log";

struct LogEntry {
  uint32_t command = 0;
  uint32_t in_length = 0;
  uint32_t signature = 0;
  uint32_t adapter = 0;
  uint32_t parameter = 0;  // the word at offset 12
  uint32_t data = 0;       // the first data word, at offset 16, as far as the input reached
  bool failed = false;     // the control call failed: |error| holds its code, else |status|
  uint32_t status = 0;
  uint32_t error = 0;
  uint32_t returned = 0;
};

// "cmd=<decimal> in=<decimal> sig=0x<hex> adapter=<decimal> param=0x<8 hex> data=0x<8 hex>
// status=<decimal> returned=<decimal>", with "error=<decimal>" instead of status and returned for
// a failed call.
std::string FormatLogEntry(const LogEntry& entry);
// Lines written before the data word was logged read with data 0.
bool ParseLogEntry(const std::string& line, LogEntry* entry);

std::string LogPath(const std::string& directory);

// The log as one run of the control device appends to it: opened once, one write per line, so
// that a run of thousands of requests does not open and close the file for each.
class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog() { Close(); }
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // False when the log cannot be opened; appending then does nothing.
  bool Open(const std::string& directory);
  // One line, written at once (a reader sees every request answered so far).
  bool Append(const LogEntry& entry);
  void Close();

 private:
  int fd_ = -1;
};

// The entries in order; lines that are not entries are skipped.
std::vector<LogEntry> ReadLog(const std::string& directory);
bool ClearLog(const std::string& directory);

}  // namespace emu
