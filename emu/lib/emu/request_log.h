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
  bool failed = false;     // the control call failed: |error| holds its code, else |status|
  uint32_t status = 0;
  uint32_t error = 0;
  uint32_t returned = 0;
};

// "cmd=<decimal> in=<decimal> sig=0x<hex> adapter=<decimal> param=0x<8 hex> status=<decimal>
// returned=<decimal>", with "error=<decimal>" instead of status and returned for a failed call.
std::string FormatLogEntry(const LogEntry& entry);
bool ParseLogEntry(const std::string& line, LogEntry* entry);

std::string LogPath(const std::string& directory);
// Appends one line; false when the log cannot be written.
bool AppendLog(const std::string& directory, const LogEntry& entry);
// The entries in order; lines that are not entries are skipped.
std::vector<LogEntry> ReadLog(const std::string& directory);
bool ClearLog(const std::string& directory);

}  // namespace emu
