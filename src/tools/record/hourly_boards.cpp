// hourly_boards.cpp - counting boards by hour and choosing the buckets' width.
#include "tools/record/hourly_boards.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "format/open_identities.h"
#include "format/utc_time.h"
#include "tools/record/record_summary.h"

namespace {

constexpr int64_t kSecondsPerHour = 3600;
constexpr int kHoursPerDay = 24;
constexpr int kHoursPerWeek = 168;
// Widths that keep buckets on the clock: a 6-hour bucket starts at 00, 06, 12 or 18, a day at
// midnight.
constexpr int kBucketWidths[] = {1, 2, 3, 4, 6, 8, 12, 24, 48, 72, kHoursPerWeek};

// Rounds towards minus infinity, so that times before 1970 fall into the bucket they are in.
int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

size_t BucketsOver(int64_t first_hour, int64_t last_hour, int64_t width) {
  return static_cast<size_t>(FloorDiv(last_hour, width) - FloorDiv(first_hour, width) + 1);
}

int BucketWidth(int64_t first_hour, int64_t last_hour) {
  for (const int width : kBucketWidths) {
    if (BucketsOver(first_hour, last_hour, width) <= kMaxHourBuckets) return width;
  }
  const int64_t weeks = (last_hour - first_hour) / (kHoursPerWeek * (kMaxHourBuckets - 1)) + 1;
  return static_cast<int>(weeks * kHoursPerWeek);
}

}  // namespace

std::string HourText(int64_t hour) {
  namespace chrono = std::chrono;
  const int64_t days = FloorDiv(hour, kHoursPerDay);
  const chrono::year_month_day date{chrono::sys_days{chrono::days{days}}};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:00", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(hour - days * kHoursPerDay));
  return text;
}

void HourlyBoards::Add(const BoardRecordLine& line) {
  std::map<int64_t, int>& hours = boards_[line.station];
  const bool programmed = UseOfLine(line) == IdentityUse::kProgrammed;
  int64_t seconds = 0;
  if (!ParseUtcTime(line.time, &seconds)) {
    if (programmed) ++untimed_[line.station];
    return;
  }
  const int64_t hour = FloorDiv(seconds, kSecondsPerHour);
  first_hour_ = timed_ ? std::min(first_hour_, hour) : hour;
  last_hour_ = timed_ ? std::max(last_hour_, hour) : hour;
  timed_ = true;
  if (programmed) ++hours[hour];
}

HourBuckets HourlyBoards::Buckets() const {
  HourBuckets buckets;
  if (timed_) {
    buckets.bucket_hours = BucketWidth(first_hour_, last_hour_);
    buckets.first_hour = FloorDiv(first_hour_, buckets.bucket_hours) * buckets.bucket_hours;
    buckets.count = BucketsOver(first_hour_, last_hour_, buckets.bucket_hours);
  }
  buckets.all_boards.assign(buckets.count, 0);
  for (const auto& [station, hours] : boards_) {
    StationHours counted{.station = station, .boards = std::vector<int>(buckets.count)};
    const auto untimed = untimed_.find(station);
    if (untimed != untimed_.end()) counted.untimed_boards = untimed->second;
    for (const auto& [hour, boards] : hours) {
      const auto bucket = static_cast<size_t>((hour - buckets.first_hour) / buckets.bucket_hours);
      counted.boards[bucket] += boards;
      buckets.all_boards[bucket] += boards;
    }
    buckets.stations.push_back(std::move(counted));
  }
  return buckets;
}
