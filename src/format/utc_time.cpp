// utc_time.cpp - reading and writing the record's UTC times without the C library's time zone.
#include "format/utc_time.h"

#include <chrono>
#include <cstdio>

namespace {

namespace chrono = std::chrono;
constexpr int64_t kSecondsPerDay = 86400;

bool Digits(std::string_view text, size_t at, size_t count, int* value) {
  *value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseUtcTime(std::string_view text, int64_t* seconds) {
  constexpr size_t kLength = 19;  // YYYY-MM-DDTHH:MM:SS
  if (text.size() != kLength && !(text.size() == kLength + 1 && text.back() == 'Z')) return false;
  if (text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') || text[13] != ':' ||
      text[16] != ':') {
    return false;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!Digits(text, 0, 4, &year) || !Digits(text, 5, 2, &month) || !Digits(text, 8, 2, &day) ||
      !Digits(text, 11, 2, &hour) || !Digits(text, 14, 2, &minute) ||
      !Digits(text, 17, 2, &second)) {
    return false;
  }
  const chrono::year_month_day date{chrono::year{year}, chrono::month{static_cast<unsigned>(month)},
                                    chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour > 23 || minute > 59 || second > 60) return false;
  *seconds = chrono::sys_days(date).time_since_epoch().count() * kSecondsPerDay + hour * 3600 +
             minute * 60 + second;
  return true;
}

std::string UtcTimeText(int64_t seconds) {
  int64_t days = seconds / kSecondsPerDay;
  int64_t in_day = seconds % kSecondsPerDay;
  if (in_day < 0) {
    in_day += kSecondsPerDay;
    --days;
  }
  const chrono::year_month_day date{chrono::sys_days(chrono::days(days))};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(in_day / 3600), static_cast<int>(in_day / 60 % 60),
                static_cast<int>(in_day % 60));
  return text;
}
