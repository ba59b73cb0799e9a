// record_json.h - what qnt5200-record prints for a program: the summary and the check as one JSON
// document each. "schema_version" names the document's form; a reader checks it, and a change
// that would mislead an older reader gives it a new number.
#pragma once

#include <string>

#include "tools/record/record_report.h"

constexpr int kRecordJsonSchema = 1;

// The document, indented, ending in a line end.
std::string SummaryJson(const std::string& record_name, const RecordSummary& summary,
                        const std::vector<IniRanges>& inis);
std::string CheckJson(const std::string& record_name, const RecordCheck& check);
