// utc_time.cpp - reading the record's UTC times without the C library's time zone.
#include "tools/record/utc_time.h"

#include <cctype>
#include <chrono>
#include <cstdio>

namespace {

bool Digits(const std::string& text, size_t at, size_t count, int* value) {
  *value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseUtcTime(const std::string& text, int64_t* seconds) {
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
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
    return false;
  }
  // A day past its month's end counts on into the next month, as the calendar's own sum does.
  namespace chrono = std::chrono;
  const chrono::sys_days date = chrono::year{year} / chrono::month{static_cast<unsigned>(month)} /
                                chrono::day{static_cast<unsigned>(day)};
  *seconds = date.time_since_epoch().count() * 86400 + hour * 3600 + minute * 60 + second;
  return true;
}

std::string UtcTimeText(int64_t seconds) {
  namespace chrono = std::chrono;
  const chrono::sys_seconds time{chrono::seconds{seconds}};
  const chrono::sys_days days = chrono::floor<chrono::days>(time);
  const chrono::year_month_day date{days};
  const chrono::hh_mm_ss clock{time - days};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}
