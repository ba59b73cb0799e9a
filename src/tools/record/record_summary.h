// record_summary.h - what a production line asks of its per-board record: how many boards were
// programmed, what the other runs ended with, how fast each station worked, and which MAC
// addresses are used up.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "format/board_record.h"

// Boards per hour of a station (or of all of them): its programmed boards over the span from the
// start of its first run (a line's time less the run's duration so far) to the time of its last
// line. Lines whose time cannot be read count for the boards but not for the span.
struct StationRate {
  std::string station;  // empty: the older form, which names no station
  int boards = 0;
  bool timed = false;       // some line of the station had a readable time
  double span_seconds = 0;  // meaningful when |timed|
  // None when the span is zero (a single line, or all within one second).
  std::optional<double> BoardsPerHour() const;
};

// Consecutive MAC addresses, first to last.
struct MacRange {
  std::string first;
  std::string last;
  uint64_t count = 0;
};

struct RecordSummary {
  int lines = 0;  // lines read, the header and blank lines not counted
  std::vector<int> malformed_lines;
  int programmed = 0;                 // outcome lines with result 0 and a write
  std::map<int, int> failures;        // exit code -> runs that got past the checks and then failed
  std::map<int, int> refusals;        // exit code -> runs refused before the board was touched
  int unfinished = 0;                 // reservations no later line answers (see CheckRecord)
  std::vector<StationRate> stations;  // by name
  StationRate overall;
  std::vector<MacRange> macs_used;  // every MAC address reserved or written, in address order
  uint64_t macs_used_count = 0;
};

// True when |line| tells of a board that was programmed: every count of boards uses this.
bool ProgrammedBoard(const BoardRecordLine& line);

RecordSummary SummarizeRecord(const ParsedBoardRecord& record);

// The reservations that no later line answers: the line of each, in record order. A reservation
// is answered by a later line that takes the same MAC address and serial number again (the run's
// own outcome line, or a run that found the identity on its board).
std::vector<int> UnansweredReservations(const ParsedBoardRecord& record);
