// record_identities.h - what the per-board record says of each MAC address and serial number:
// which a board may still be given, and which belong to a board already.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "format/board_record.h"

// What the record says of one MAC address or serial number.
enum class IdentityUse {
  kFree,        // never sent to a board
  kProgrammed,  // on a board whose run succeeded
  kUnfinished,  // reserved by a run that never told its outcome (it died, or is still running)
  kFailed,      // sent to a board whose run then failed
};

struct IdentityEntry {
  IdentityUse use = IdentityUse::kFree;
  int line = 0;  // 1-based line of the record that says so
  std::string mac_address;
  std::string serial_number;
};

struct RecordIdentities {
  std::map<std::string, IdentityEntry> by_mac;  // keyed by the canonical "XX:XX:XX:XX:XX:XX"
  std::map<std::string, IdentityEntry> by_serial;
  std::vector<int> malformed_lines;
  // True when some identity was sent to a board that may be programmed again to keep it.
  bool HasOpenIdentities() const;
};

// What a line says of its identity: kFree when it changes nothing (a run that failed before
// writing, an older line of a failed run).
IdentityUse UseOfLine(const BoardRecordLine& line);

// The last word of the record on each identity (ParseBoardRecord reads the lines).
RecordIdentities ReadRecordIdentities(const std::string& record);
