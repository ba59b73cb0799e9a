// hourly_boards.h - the programmed boards of each station by clock hour (UTC), gathered line by
// line, then put into buckets of whole hours, few enough to plot the record's whole span.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "format/board_record.h"

constexpr size_t kMaxHourBuckets = 96;

struct StationHours {
  std::string station;      // empty: the older form's lines, which name no station
  std::vector<int> boards;  // programmed boards by bucket
  int untimed_boards = 0;   // boards of lines whose time cannot be read: in no bucket
};

struct HourBuckets {
  int64_t first_hour = 0;       // the first bucket's start, in hours since 1970-01-01T00:00Z
  int bucket_hours = 1;         // the smallest width that keeps the span within kMaxHourBuckets
  size_t count = 0;             // 0 when no line has a readable time
  std::vector<int> all_boards;  // all stations together
  std::vector<StationHours> stations;  // every station of the record, by name
};

// "2026-03-01 08:00": the start of |hour|, in hours since 1970-01-01T00:00Z.
std::string HourText(int64_t hour);

// A board counts in the hour its outcome line was written; the span runs from the hour of the
// first line to that of the last, whatever the lines say.
class HourlyBoards {
 public:
  void Add(const BoardRecordLine& line);
  HourBuckets Buckets() const;

 private:
  std::map<std::string, std::map<int64_t, int>> boards_;  // station -> hour -> boards
  std::map<std::string, int> untimed_;                    // station -> boards
  bool timed_ = false;
  int64_t first_hour_ = 0;
  int64_t last_hour_ = 0;
};
