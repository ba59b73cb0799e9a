// record_check.h - the per-board record searched for what must not be: an identity on two boards,
// and runs whose outcome nobody knows.
#pragma once

#include <string>
#include <vector>

#include "format/board_record.h"

// A MAC address or serial number that a line says was written to a board after a run had
// programmed a board with it already. A write after a run that failed is not counted: the utility
// itself programs the board a failed run wrote again with the same identity (it finds the
// identity on the board), so that is one board.
struct IdentityClash {
  bool mac = true;  // else a serial number
  std::string value;
  int programmed_line = 0;  // the line whose run programmed it first
  int line = 0;             // the line that wrote it again
};

// A reservation that no later line answers: the run died, or is still running on a station.
// Whether its identity reached the board is unknown.
struct UnknownOutcome {
  int line = 0;
  BoardRecordLine fields;
};

struct RecordCheck {
  std::vector<IdentityClash> clashes;  // in record order
  std::vector<UnknownOutcome> unknown;
  std::vector<int> malformed_lines;  // passed over, as the utility passes them over
  bool Clean() const { return clashes.empty() && unknown.empty(); }
};

// |serial_counts| false: the serial number is the same on every board by design (the INI file does
// not step it), and only MAC addresses are checked.
RecordCheck CheckRecord(const ParsedBoardRecord& record, bool serial_counts);
