// utc_time.h - the time column of the per-board record as a count of seconds, so that the spans
// of a station's work can be measured.
#pragma once

#include <cstdint>
#include <string>

// Seconds since 1970-01-01T00:00:00Z of "YYYY-MM-DDTHH:MM:SSZ" (a blank for the "T" and no "Z"
// are taken too, as a spreadsheet may save them). False when |text| is no such time.
bool ParseUtcTime(const std::string& text, int64_t* seconds);

// "YYYY-MM-DDTHH:MM:SSZ" of |seconds| since 1970-01-01T00:00:00Z.
std::string UtcTimeText(int64_t seconds);
