// hourly_boards.cpp - counting boards by hour or minute and choosing the buckets' width.
#include "tools/record/hourly_boards.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "format/open_identities.h"
#include "format/utc_time.h"
#include "tools/record/record_summary.h"

namespace {

constexpr int64_t kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr int kMinutesPerDay = 1440;
constexpr int kHoursPerWeek = 168;
// Widths that keep buckets on the clock: a 6-hour bucket starts at 00, 06, 12 or 18, a day at
// midnight, a 5-minute bucket at 00, 05, 10, ...
constexpr int kBucketHours[] = {1, 2, 3, 4, 6, 8, 12, 24, 48, 72, kHoursPerWeek};
constexpr int kBucketMinutes[] = {1, 2, 5, 10};

// Rounds towards minus infinity, so that times before 1970 fall into the bucket they are in.
int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

size_t BucketsOver(int64_t first, int64_t last, int64_t width) {
  return static_cast<size_t>(FloorDiv(last, width) - FloorDiv(first, width) + 1);
}

// In minutes.
int BucketWidth(int64_t first_minute, int64_t last_minute, bool short_span) {
  if (short_span) {
    for (const int width : kBucketMinutes) {
      if (BucketsOver(first_minute, last_minute, width) <= kMaxMinuteBuckets) return width;
    }
  }
  for (const int hours : kBucketHours) {
    if (BucketsOver(first_minute, last_minute, int64_t{hours} * kMinutesPerHour) <=
        kMaxHourBuckets) {
      return hours * kMinutesPerHour;
    }
  }
  const int64_t week = int64_t{kHoursPerWeek} * kMinutesPerHour;
  const int64_t weeks = (last_minute - first_minute) / (week * (kMaxHourBuckets - 1)) + 1;
  return static_cast<int>(weeks * week);
}

}  // namespace

std::string MinuteText(int64_t minute) {
  namespace chrono = std::chrono;
  const int64_t days = FloorDiv(minute, kMinutesPerDay);
  const chrono::year_month_day date{chrono::sys_days{chrono::days{days}}};
  const auto in_day = static_cast<int>(minute - days * kMinutesPerDay);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                in_day / kMinutesPerHour, in_day % kMinutesPerHour);
  return text;
}

void HourlyBoards::Add(const BoardRecordLine& line) {
  std::map<int64_t, int>& hours = hours_[line.station];
  const bool programmed = UseOfLine(line) == IdentityUse::kProgrammed;
  int64_t seconds = 0;
  if (!ParseUtcTime(line.time, &seconds)) {
    if (programmed) ++untimed_[line.station];
    return;
  }
  const int64_t minute = FloorDiv(seconds, kSecondsPerMinute);
  first_minute_ = timed_ ? std::min(first_minute_, minute) : minute;
  last_minute_ = timed_ ? std::max(last_minute_, minute) : minute;
  timed_ = true;
  // The minutes are kept only while they may be plotted: a long record holds one number an hour.
  if (!Short()) minutes_.clear();
  if (!programmed) return;
  ++hours[FloorDiv(minute, kMinutesPerHour) * kMinutesPerHour];
  if (Short()) ++minutes_[line.station][minute];
}

HourBuckets HourlyBoards::Buckets() const {
  HourBuckets buckets;
  if (timed_) {
    buckets.bucket_minutes = BucketWidth(first_minute_, last_minute_, Short());
    buckets.first_minute = FloorDiv(first_minute_, buckets.bucket_minutes) * buckets.bucket_minutes;
    buckets.count = BucketsOver(first_minute_, last_minute_, buckets.bucket_minutes);
  }
  buckets.all_boards.assign(buckets.count, 0);
  const Counts& counts = buckets.bucket_minutes < kMinutesPerHour ? minutes_ : hours_;
  for (const auto& [station, ignored] : hours_) {
    StationHours counted{.station = station, .boards = std::vector<int>(buckets.count)};
    const auto untimed = untimed_.find(station);
    if (untimed != untimed_.end()) counted.untimed_boards = untimed->second;
    const auto times = counts.find(station);
    if (times != counts.end()) {
      for (const auto& [start, boards] : times->second) {
        const auto bucket =
            static_cast<size_t>((start - buckets.first_minute) / buckets.bucket_minutes);
        counted.boards[bucket] += boards;
        buckets.all_boards[bucket] += boards;
      }
    }
    buckets.stations.push_back(std::move(counted));
  }
  return buckets;
}
