// record_report.h - what qnt5200-record prints for a person: the summary of a record, with the
// ranges left in an INI file, and what the check found. Text in, text out, so tests see it whole.
#pragma once

#include <string>

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

std::string SummaryText(const std::string& record_name, const RecordSummary& summary,
                        const IniRanges* ini);

std::string CheckText(const std::string& record_name, const RecordCheck& check);
