// report_page_test.cpp - what the line report page plots, worked out by hand from small records:
// boards per hour by station and bucket (hours, or minutes for a short span), runs by reason, each
// INI range's addresses used and left and how near its end it is, the identities used up on no
// board; and the page's text escaped, with nothing to fetch or run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/line_report_record.h"
#include "tools/record/html_text.h"
#include "tools/record/report_page.h"
#include "tools/record/report_page_data.h"

namespace {

using line_report::Line;

std::vector<double> Values(const BarPlot& plot) {
  std::vector<double> values;
  for (const PlotBar& bar : plot.bars) values.push_back(bar.value);
  return values;
}

IniRanges IniAt44_17() {
  IniRanges ini{.file = "board.ini"};
  ini.left.mac = {.present = true,
                  .current = "00:11:22:33:44:17",
                  .maximum = "00:11:22:33:44:FF",
                  .increment = 1,
                  .left = 233};
  return ini;
}

TEST(ReportPageData, PlotsTheRecordsNumbers) {
  const ReportPageData data =
      GatherReportPage("boards.csv", ParseBoardRecord(line_report::Record()),
                       SummarizeRecord(line_report::Record()), {IniAt44_17()});
  EXPECT_EQ(data.bucket_minutes, 60);
  ASSERT_EQ(data.rates.size(), 3u);
  EXPECT_EQ(data.rates[0].station, "all stations");
  EXPECT_EQ(Values(data.rates[0].per_hour), (std::vector<double>{2, 2, 1}));
  EXPECT_EQ(data.rates[1].station, line_report::kScriptStation);  // '<' sorts before 's'
  EXPECT_EQ(Values(data.rates[1].per_hour), (std::vector<double>{1, 0, 1}));
  EXPECT_EQ(data.rates[2].station, "st1");
  EXPECT_EQ(data.rates[2].rate, "3 boards in 2:05:00, 1.4 per hour");
  EXPECT_EQ(Values(data.rates[2].per_hour), (std::vector<double>{1, 2, 0}));
  const PlotBar& nine = data.rates[2].per_hour.bars[1];
  EXPECT_EQ(nine.label, "03-01 09:00");
  EXPECT_EQ(nine.tip, "2026-03-01 09:00 to 10:00 UTC: 2 boards");

  // Runs by the error the record gives.
  ASSERT_EQ(data.failures.bars.size(), 1u);
  EXPECT_EQ(data.failures.bars[0].label, "exit code 9: " + line_report::kVerifyError);
  EXPECT_EQ(data.failures.bars[0].value, 1);
  EXPECT_EQ(data.failed_runs, 1);
  ASSERT_EQ(data.refusals.bars.size(), 2u);
  EXPECT_EQ(data.refusals.bars[0].label, "exit code 10: " + line_report::kAboveError);
  EXPECT_EQ(data.refusals.bars[1].label, "exit code 10: programmed already");
  EXPECT_EQ(data.refused_runs, 2);
  ASSERT_EQ(data.ranges.size(), 1u);
  EXPECT_EQ(Values(data.ranges[0].mac_share), (std::vector<double>{7, 233}));
  EXPECT_EQ(data.ranges[0].mac.level, RangeLevel::kEnough);

  ASSERT_EQ(data.used_up.size(), 2u);
  EXPECT_EQ(data.used_up[0].line, 5);
  EXPECT_EQ(data.used_up[0].fields.mac_address, "00:11:22:33:44:11");
  EXPECT_EQ(data.used_up[0].fields.error, line_report::kVerifyError);
  EXPECT_FALSE(data.used_up[0].outcome_unknown);
  EXPECT_EQ(data.used_up[1].line, 13);
  EXPECT_TRUE(data.used_up[1].outcome_unknown);

  // Without an INI file the addresses left are unknown: no shares to draw.
  EXPECT_TRUE(GatherReportPage("b", ParseBoardRecord(line_report::Record()),
                               SummarizeRecord(line_report::Record()), {})
                  .ranges.empty());
}

// A range of 00:11:22:33:44:00 up to |maximum|, |left| of them left from |current| on.
IniRanges Range(const std::string& file, const std::string& current, const std::string& maximum,
                uint64_t left) {
  IniRanges ini{.file = file};
  ini.left.mac = {
      .present = true, .current = current, .maximum = maximum, .increment = 1, .left = left};
  return ini;
}

// Each range counts the record's addresses up to its maximum and above the next lower one's; it
// warns when fewer are left than the boards of the last day (5 here) or under a tenth of it, and
// alarms at none.
TEST(ReportPageData, EachRangeSaysWhatIsUsedAndLeftAndWarnsBeforeItEnds) {
  const std::string record = line_report::Record();
  const std::vector<IniRanges> inis = {
      Range("a.ini", "00:11:22:33:44:17", "00:11:22:33:44:FF", 233),
      Range("low.ini", "00:11:22:33:45:0E", "00:11:22:33:45:10", 3),
      Range("out.ini", "00:11:22:33:45:20", "00:11:22:33:45:1F", 0),
      Range("first.ini", "00:11:22:33:44:14", "00:11:22:33:44:15", 2)};
  const ReportPageData data =
      GatherReportPage("b", ParseBoardRecord(record), SummarizeRecord(record), inis);
  EXPECT_EQ(data.boards_last_day, 5);
  ASSERT_EQ(data.ranges.size(), 4u);
  // 44:10 to 44:15 are first.ini's, 44:16 a.ini's.
  EXPECT_EQ(Values(data.ranges[0].mac_share), (std::vector<double>{1, 233}));
  EXPECT_EQ(data.ranges[0].mac.level, RangeLevel::kEnough);
  EXPECT_EQ(Values(data.ranges[1].mac_share), (std::vector<double>{0, 3}));
  EXPECT_EQ(data.ranges[1].mac.level, RangeLevel::kNearlyUsedUp);
  EXPECT_NE(data.ranges[1].mac.text.find("fewer left than the 5 boards the line made in its last "
                                         "day"),
            std::string::npos)
      << data.ranges[1].mac.text;
  EXPECT_EQ(data.ranges[2].mac.level, RangeLevel::kUsedUp);
  EXPECT_NE(data.ranges[2].mac.text.find("Used up: no MAC address is left"), std::string::npos);
  EXPECT_EQ(Values(data.ranges[3].mac_share), (std::vector<double>{6, 2}));
  EXPECT_EQ(data.ranges[3].serial.level, RangeLevel::kEnough);  // it names none

  // Under a tenth: 100 used, 10 left of 110; 12 left of 112 is enough.
  RecordSummary many;
  many.macs_used = {{.first = "00:11:22:33:44:00", .last = "00:11:22:33:44:63", .count = 100}};
  const ParsedBoardRecord none;
  EXPECT_EQ(GatherReportPage("b", none, many,
                             {Range("a.ini", "00:11:22:33:44:64", "00:11:22:33:44:6D", 10)})
                .ranges[0]
                .mac.level,
            RangeLevel::kNearlyUsedUp);
  EXPECT_EQ(GatherReportPage("b", none, many,
                             {Range("a.ini", "00:11:22:33:44:64", "00:11:22:33:44:6F", 12)})
                .ranges[0]
                .mac.level,
            RangeLevel::kEnough);
}

// Under two hours the columns are minutes: 08:00 to 08:39 in 20 columns of 2 minutes.
TEST(ReportPageData, AShortSpanGoesIntoBucketsOfMinutes) {
  const std::string record = Line("2026-03-01T08:00:10Z", "20", "0", "yes", "st1") +
                             Line("2026-03-01T08:03:50Z", "21", "0", "yes", "st1") +
                             Line("2026-03-01T08:39:00Z", "22", "0", "yes", "st1");
  const ReportPageData data =
      GatherReportPage("b", ParseBoardRecord(record), SummarizeRecord(record), {});
  EXPECT_EQ(data.bucket_minutes, 2);
  const BarPlot& plot = data.rates[0].per_hour;
  ASSERT_EQ(plot.bars.size(), 20u);
  EXPECT_EQ(plot.bars[0].tip, "2026-03-01 08:00 to 08:02 UTC: 1 board, 30 per hour");
  EXPECT_EQ(plot.bars[1].label, "03-01 08:02");
  EXPECT_EQ(plot.bars[1].value, 30);
  EXPECT_EQ(plot.bars[2].value, 0);
  EXPECT_EQ(plot.bars[19].label, "03-01 08:38");
  EXPECT_EQ(plot.bars[19].value, 30);
  // 25 minutes: one column a minute.
  const std::string short_record = Line("2026-03-01T08:00:10Z", "20", "0", "yes", "st1") +
                                   Line("2026-03-01T08:24:50Z", "21", "0", "yes", "st1");
  EXPECT_EQ(GatherReportPage("b", ParseBoardRecord(short_record), SummarizeRecord(short_record), {})
                .rates[0]
                .per_hour.bars.size(),
            25u);
}

// 199 hours from 2026-03-01 00:30 to 2026-03-09 07:30: 100 buckets of 2 hours would be too many,
// 67 of 3 hours are not. A board reworked after a failed verify is on a board; a refused identity
// was never taken; a line without a readable time cannot be read, and counts nowhere.
TEST(ReportPageData, LongSpansGoIntoWiderBuckets) {
  const std::string record = Line("2026-03-01T00:30:00Z", "20", "reserved", "no", "st1") +
                             Line("2026-03-01T00:30:10Z", "20", "9", "yes", "st1") +
                             Line("2026-03-01T00:31:00Z", "20", "reserved", "no", "st1") +
                             Line("2026-03-01T00:31:10Z", "20", "0", "yes", "st1") +
                             Line("2026-03-05T12:00:00Z", "30", "10", "refused", "st1") +
                             Line("yesterday", "21", "0", "yes", "st1") +
                             Line("2026-03-09T07:30:00Z", "22", "0", "yes", "st1");
  const ReportPageData data =
      GatherReportPage("b", ParseBoardRecord(record), SummarizeRecord(record), {});
  EXPECT_EQ(data.bucket_minutes, 180);
  const BarPlot& plot = data.rates[1].per_hour;
  ASSERT_EQ(plot.bars.size(), 67u);
  EXPECT_DOUBLE_EQ(plot.bars[0].value, 1.0 / 3);
  EXPECT_EQ(plot.bars[0].tip, "2026-03-01 00:00 to 03:00 UTC: 1 board, 0.3 per hour");
  EXPECT_EQ(plot.bars[7].tip, "2026-03-01 21:00 to 2026-03-02 00:00 UTC: 0 boards, 0 per hour");
  EXPECT_EQ(plot.bars[66].label, "03-09 06:00");
  EXPECT_DOUBLE_EQ(plot.bars[66].value, 1.0 / 3);
  EXPECT_EQ(data.summary.malformed_lines.size(), 1u);
  EXPECT_EQ(data.rates[0].untimed_boards, 0);
  EXPECT_TRUE(data.used_up.empty());
}

TEST(ReportPage, RecordTextIsEscapedAndNothingIsFetchedOrRun) {
  EXPECT_EQ(HtmlText("<a href='x'>\"&\"</a>"),
            "&lt;a href=&#39;x&#39;&gt;&quot;&amp;&quot;&lt;/a&gt;");
  const std::string page =
      ReportPageHtml(GatherReportPage("boards.csv", ParseBoardRecord(line_report::Record()),
                                      SummarizeRecord(line_report::Record()), {IniAt44_17()}));
  EXPECT_NE(page.find("<h3>&lt;script&gt;document.title=&#39;pwned&#39;&lt;/script&gt;</h3>"),
            std::string::npos);
  for (const char* fetching_or_running :
       {"<script", "<b>", "src=", "href=", "url(", "@import", "<link", "https:"}) {
    EXPECT_EQ(page.find(fetching_or_running), std::string::npos) << fetching_or_running;
  }
}

}  // namespace
