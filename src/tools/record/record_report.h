// record_report.h - what qnt5200-record prints for a person: the summary of a record, with the
// ranges left in an INI file, and what the check found. Text in, text out, so tests see it whole.
#pragma once

#include <string>
#include <vector>

#include "tools/record/ini_range.h"
#include "tools/record/record_check.h"
#include "tools/record/record_summary.h"

// Exit codes of qnt5200-record.
constexpr int kRecordToolDone = 0;
constexpr int kRecordToolFound = 1;     // check: an identity on two boards, or an unknown outcome
constexpr int kRecordToolBadInput = 2;  // bad command line, or a file that cannot be read

// True when |mac| (canonical) is one of the record's used MAC addresses: an INI file set back to
// it would hand a used address to the next board, which the utility then refuses.
bool MacUsed(const RecordSummary& summary, const std::string& mac);

// The INI file's ranges, when the summary was asked for them.
struct IniRanges {
  std::string file;
  IdentitiesLeft left;
};

// A station's name as the reports print it: the older form's lines name none.
const char* PrintedStation(const std::string& station);

// A station's rate as the summary words it: "3 boards in 2:05:00, 1.4 per hour".
std::string RateText(const StationRate& rate);

// An INI file's range as the summary words it: "board.ini: 233 MAC addresses left, from ...".
std::string RangeText(const std::string& file, const char* what, const char* plural,
                      const IdentityRange& range);

// |inis|: each --ini in the order given; empty when none was.
std::string SummaryText(const std::string& record_name, const RecordSummary& summary,
                        const std::vector<IniRanges>& inis);

std::string CheckText(const std::string& record_name, const RecordCheck& check);
