// report_page_data.h - everything the line report page shows, gathered in one place: the
// summary's figures as the text report has them, and the plots' bars worked out from those and
// from the record's lines.
#pragma once

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

struct ReportPageData {
  std::string record_name;
  RecordSummary summary;
  std::optional<IniRanges> ini;
  int bucket_hours = 1;
  std::vector<RatePlot> rates;  // all stations, then each station by name
  BarPlot failures;             // a row an exit code: runs
  BarPlot refusals;
  int failed_runs = 0;
  int refused_runs = 0;
  // MAC addresses used in the record and left in the INI file's range; no bars without an INI
  // file whose addresses left can be counted.
  BarPlot mac_share;
  std::vector<UsedUpIdentity> used_up;
};

// |record| whole and its |summary|; |ini| null: no INI file was named.
ReportPageData GatherReportPage(const std::string& record_name, const ParsedBoardRecord& record,
                                const RecordSummary& summary, const IniRanges* ini);
