// report_page_test.cpp - what the line report page plots, worked out by hand from small records:
// boards per hour by station and bucket, runs by exit code, the MAC addresses' shares, the
// identities used up on no board; and the page's text escaped, with nothing to fetch or run.
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
  const IniRanges ini = IniAt44_17();
  const ReportPageData data =
      GatherReportPage("boards.csv", ParseBoardRecord(line_report::Record()),
                       SummarizeRecord(line_report::Record()), &ini);
  EXPECT_EQ(data.bucket_hours, 1);
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

  ASSERT_EQ(data.failures.bars.size(), 1u);
  EXPECT_EQ(data.failures.bars[0].label, "exit code 9: EEPROM programming failed");
  EXPECT_EQ(data.failures.bars[0].value, 1);
  ASSERT_EQ(data.refusals.bars.size(), 1u);
  EXPECT_EQ(data.refusals.bars[0].label, "exit code 10: identity or image modification failed");
  EXPECT_EQ(Values(data.mac_share), (std::vector<double>{7, 233}));

  ASSERT_EQ(data.used_up.size(), 2u);
  EXPECT_EQ(data.used_up[0].line, 5);
  EXPECT_EQ(data.used_up[0].fields.mac_address, "00:11:22:33:44:11");
  EXPECT_EQ(data.used_up[0].fields.error, line_report::kVerifyError);
  EXPECT_FALSE(data.used_up[0].outcome_unknown);
  EXPECT_EQ(data.used_up[1].line, 13);
  EXPECT_TRUE(data.used_up[1].outcome_unknown);

  // Without an INI file the addresses left are unknown: no shares to draw.
  EXPECT_TRUE(GatherReportPage("b", ParseBoardRecord(line_report::Record()),
                               SummarizeRecord(line_report::Record()), nullptr)
                  .mac_share.bars.empty());
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
      GatherReportPage("b", ParseBoardRecord(record), SummarizeRecord(record), nullptr);
  EXPECT_EQ(data.bucket_hours, 3);
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
  const IniRanges ini = IniAt44_17();
  const std::string page =
      ReportPageHtml(GatherReportPage("boards.csv", ParseBoardRecord(line_report::Record()),
                                      SummarizeRecord(line_report::Record()), &ini));
  EXPECT_NE(page.find("<h3>&lt;script&gt;document.title=&#39;pwned&#39;&lt;/script&gt;</h3>"),
            std::string::npos);
  for (const char* fetching_or_running :
       {"<script", "<b>", "src=", "href=", "url(", "@import", "<link", "https:"}) {
    EXPECT_EQ(page.find(fetching_or_running), std::string::npos) << fetching_or_running;
  }
}

}  // namespace
