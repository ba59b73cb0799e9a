// report_page_data.h - everything the line report page shows, gathered in one place: the
// summary's figures as the text report has them, and the plots' bars worked out from those and
// from the record's lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/board_record.h"
#include "tools/record/record_report.h"
#include "tools/record/record_summary.h"
#include "tools/record/svg_plot.h"
#include "tools/record/used_up_identities.h"

// One plot of boards per hour over the record's span.
struct RatePlot {
  std::string station;  // as printed; the first plot is "all stations"
  std::string rate;     // the rate over the whole span, as the summary words it
  int untimed_boards = 0;
  BarPlot per_hour;  // a column a bucket: boards per hour in it
};

// How close a range is to its end: nearly used up when fewer are left than the line made in its
// last day, or under a tenth of the range; used up at none.
enum class RangeLevel { kEnough, kNearlyUsedUp, kUsedUp };

// One identity of one INI file's range: how many of it the record used and how many are left.
struct RangeUse {
  std::optional<uint64_t> used;  // the record's MAC addresses that this range handed out
  std::optional<uint64_t> left;  // none when they cannot be counted
  RangeLevel level = RangeLevel::kEnough;
  std::string text;  // the range as the summary words it, and its warning
};

struct IniRangeUse {
  IniRanges ini;
  RangeUse mac;
  RangeUse serial;
  BarPlot mac_share;  // used and left; no bars when the addresses left cannot be counted
};

struct ReportPageData {
  std::string record_name;
  std::string made_at;  // the UTC time the page was made; empty: not shown
  RecordSummary summary;
  int bucket_minutes = 60;
  std::vector<RatePlot> rates;  // all stations, then each station by name
  BarPlot failures;             // a row a reason: runs that ended with that exit code and error
  BarPlot refusals;
  int failed_runs = 0;
  int refused_runs = 0;
  int boards_last_day = 0;  // programmed in the 24 hours up to the record's last line
  // Each --ini in the order given. A MAC address of the record counts to the range with the
  // lowest MaximumMacAddress at or above it.
  std::vector<IniRangeUse> ranges;
  std::vector<UsedUpIdentity> used_up;
};

// |record| whole and its |summary|; |inis| empty: no INI file was named.
ReportPageData GatherReportPage(const std::string& record_name, const ParsedBoardRecord& record,
                                const RecordSummary& summary, const std::vector<IniRanges>& inis);
