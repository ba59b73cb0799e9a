// utc_time.h - the time column of the per-board record: read as a count of seconds (a line whose
// time names no instant is no record line, and the spans of a station's work are measured from
// it), and written back in the record's own form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Seconds since 1970-01-01T00:00:00Z of "YYYY-MM-DDTHH:MM:SSZ" (a blank for the "T" and no "Z"
// are taken too, as a spreadsheet may save them). False when |text| is no such time, or names a
// day its month does not have.
bool ParseUtcTime(std::string_view text, int64_t* seconds);

// "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcTimeText(int64_t seconds);
