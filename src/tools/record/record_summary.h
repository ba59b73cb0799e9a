// record_summary.h - what a production line asks of its per-board record: how many boards were
// programmed, what the other runs ended with, how fast each station worked, and which MAC
// addresses are used up. The summary is counted as the record is read, line by line; what it
// keeps is its counts and one number per MAC address.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/open_identities.h"
#include "format/record_reader.h"
#include "tools/record/pending_reservations.h"

// Boards per hour of a station (or of all of them): its programmed boards over the span from the
// start of its first run (a line's time less the run's duration so far) to the time of its last
// line (a line whose time names no instant is no record line).
struct StationRate {
  std::string station;  // empty: the older form, which names no station
  int boards = 0;
  bool timed = false;       // the station has a line
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
  int programmed = 0;                 // outcome lines whose image was written and verified
  std::map<int, int> failures;        // exit code -> runs that got past the checks and then failed
  std::map<int, int> refusals;        // exit code -> runs refused before the board was touched
  int unfinished = 0;                 // reservations no later line answers (see CheckRecord)
  std::vector<StationRate> stations;  // by name
  StationRate overall;
  std::vector<MacRange> macs_used;  // every MAC address reserved or written, in address order
  uint64_t macs_used_count = 0;
  // Identities used up by runs that left no programmed board (a failed write, a run that died),
  // one per line that said the last word on them, in the record's order: no other board may be
  // given them, and only the board that may hold them is programmed with them again.
  std::vector<RecordedOwner> used_up_on_no_board;
};

// What a line says of its run in the summary's counts: a programmed board, a run refused before
// the board was touched, a run that got past the checks and then failed, or none of these (a
// reservation, a run that succeeded without a write).
enum class RunEnd { kProgrammed, kRefused, kFailed, kNone };

template <typename Text>
RunEnd EndOfLine(const BasicBoardRecordLine<Text>& fields) {
  if (UseOfLine(fields) == IdentityUse::kProgrammed) return RunEnd::kProgrammed;
  if (fields.reserved) return RunEnd::kNone;
  if (fields.refused) return RunEnd::kRefused;
  return fields.result != 0 ? RunEnd::kFailed : RunEnd::kNone;
}

// Counts the lines handed to it; Finish gives the summary.
class RecordSummarizer : public RecordLineSink {
 public:
  RecordSummarizer();
  ~RecordSummarizer() override;
  void Line(const RecordLineView& line) override;
  void Unreadable(int number, std::string_view text) override;
  RecordSummary Finish();

 private:
  struct Counts;
  std::unique_ptr<Counts> counts_;
};

// The summary of a record held in memory.
RecordSummary SummarizeRecord(std::string_view record);

// Adds |mac| (canonical; the addresses come in ascending order) to |*ranges|: the last range
// grows when |mac| follows |*previous|. |*previous| becomes |mac|'s number.
void ExtendMacRanges(const std::string& mac, uint64_t* previous, std::vector<MacRange>* ranges);
