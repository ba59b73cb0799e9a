// utc_time.cpp - reading the record's UTC times without the C library's time zone.
#include "tools/record/utc_time.h"

#include <cctype>

namespace {

bool Digits(const std::string& text, size_t at, size_t count, int* value) {
  *value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

// Days from 1970-01-01 to the date in the proleptic Gregorian calendar: the year is counted from
// March, so that the leap day comes last.
int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = month <= 2 ? year - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t year_of_era = y - era * 400;
  const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
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
  *seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return true;
}
