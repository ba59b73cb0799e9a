// hourly_boards.h - the programmed boards of each station by clock time (UTC), gathered line by
// line, then put into buckets few enough to plot the record's whole span: whole hours, or minutes
// when the record spans less than two hours.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "format/board_record.h"

constexpr size_t kMaxHourBuckets = 96;
// A span under two hours is plotted in buckets of minutes, at most this many.
constexpr int64_t kMinuteBucketsBelow = 120;  // minutes
constexpr size_t kMaxMinuteBuckets = 30;

struct StationHours {
  std::string station;      // empty: the older form's lines, which name no station
  std::vector<int> boards;  // programmed boards by bucket
  int untimed_boards = 0;   // boards of lines whose time cannot be read: in no bucket
};

struct HourBuckets {
  int64_t first_minute = 0;     // the first bucket's start, in minutes since 1970-01-01T00:00Z
  int bucket_minutes = 60;      // the smallest width that keeps the span within the buckets
  size_t count = 0;             // 0 when no line has a readable time
  std::vector<int> all_boards;  // all stations together
  std::vector<StationHours> stations;  // every station of the record, by name
};

// "2026-03-01 08:05": the start of |minute|, in minutes since 1970-01-01T00:00Z.
std::string MinuteText(int64_t minute);

// A board counts in the minute its outcome line was written; the span runs from the minute of the
// first line to that of the last, whatever the lines say.
class HourlyBoards {
 public:
  void Add(const BoardRecordLine& line);
  HourBuckets Buckets() const;

 private:
  bool Short() const { return last_minute_ - first_minute_ < kMinuteBucketsBelow; }
  using Counts = std::map<std::string, std::map<int64_t, int>>;  // station -> start -> boards
  Counts hours_;                        // by the minute each hour starts at
  Counts minutes_;                      // by minute, kept only while the span is short
  std::map<std::string, int> untimed_;  // station -> boards
  bool timed_ = false;
  int64_t first_minute_ = 0;
  int64_t last_minute_ = 0;
};
