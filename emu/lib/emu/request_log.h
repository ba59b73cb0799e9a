// request_log.h - the request log of an emulator directory: one line per request, shared by all
// adapters of the directory; a run's lines are gathered and appended when the device closes.
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

// The log as one run of the control device appends to it: opened once, the lines gathered in
// memory and written out when the buffer fills and at Close. A firmware download sends tens of
// thousands of requests; a write call for each cost more than answering them.
class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog() { Close(); }
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // False when the log cannot be opened; appending then does nothing.
  bool Open(const std::string& directory);
  // One line into the buffer; a full buffer is written out first. False when the log is not
  // open or writing out failed (the buffered lines are then dropped).
  bool Append(const LogEntry& entry);
  // Writes out the lines gathered so far, whole lines only.
  bool Flush();
  // Flushes, then closes.
  void Close();

 private:
  int fd_ = -1;
  std::string pending_;  // whole lines not yet written
};

// The entries in order; lines that are not entries are skipped.
std::vector<LogEntry> ReadLog(const std::string& directory);
bool ClearLog(const std::string& directory);

}  // namespace emu
