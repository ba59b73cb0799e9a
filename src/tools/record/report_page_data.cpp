// report_page_data.cpp - the one walk from a record to what its report page shows.
#include "tools/record/report_page_data.h"

#include "common/exit_codes.h"
#include "tools/record/hourly_boards.h"

namespace {

std::string Boards(int boards) {
  return std::to_string(boards) + (boards == 1 ? " board" : " boards");
}

// The bucket's start to its end: the end's date only when it is another day.
std::string BucketSpan(int64_t start_hour, int hours) {
  const std::string start = HourText(start_hour);
  const std::string end = HourText(start_hour + hours);
  const size_t date_length = start.find(' ');
  const bool same_day = start.compare(0, date_length, end, 0, date_length) == 0;
  return start + " to " + (same_day ? end.substr(date_length + 1) : end) + " UTC";
}

BarPlot PerHourPlot(const std::string& station, const std::vector<int>& boards,
                    const HourBuckets& buckets) {
  BarPlot plot{.title = "Boards per hour, " + station};
  for (size_t i = 0; i < boards.size(); ++i) {
    const int64_t start = buckets.first_hour + static_cast<int64_t>(i) * buckets.bucket_hours;
    const double per_hour = static_cast<double>(boards[i]) / buckets.bucket_hours;
    std::string tip = BucketSpan(start, buckets.bucket_hours) + ": " + Boards(boards[i]);
    if (buckets.bucket_hours > 1) tip += ", " + PlotNumber(per_hour) + " per hour";
    plot.bars.push_back({.label = HourText(start).substr(5),  // no year: "03-01 08:00"
                         .value = per_hour,
                         .text = PlotNumber(per_hour),
                         .tip = tip});
  }
  return plot;
}

// The hours of |station|; none when the record's walk for the hours never saw it.
StationHours HoursOf(const HourBuckets& buckets, const std::string& station) {
  for (const StationHours& hours : buckets.stations) {
    if (hours.station == station) return hours;
  }
  return {.station = station, .boards = std::vector<int>(buckets.count)};
}

std::vector<RatePlot> RatePlots(const RecordSummary& summary, const HourBuckets& buckets) {
  RatePlot all{.station = "all stations", .rate = RateText(summary.overall)};
  all.per_hour = PerHourPlot(all.station, buckets.all_boards, buckets);
  std::vector<RatePlot> plots{all};
  for (const StationRate& rate : summary.stations) {
    const StationHours hours = HoursOf(buckets, rate.station);
    RatePlot plot{.station = PrintedStation(rate.station),
                  .rate = RateText(rate),
                  .untimed_boards = hours.untimed_boards};
    plot.per_hour = PerHourPlot(plot.station, hours.boards, buckets);
    plots.push_back(plot);
    plots.front().untimed_boards += hours.untimed_boards;
  }
  return plots;
}

BarPlot RunsPlot(const char* title, const std::map<int, int>& runs, int* total) {
  BarPlot plot{.title = title};
  for (const auto& [code, count] : runs) {
    plot.bars.push_back(
        {.label = "exit code " + std::to_string(code) + ": " + ExitCodeMeaning(code),
         .value = static_cast<double>(count),
         .text = std::to_string(count)});
    *total += count;
  }
  return plot;
}

BarPlot MacShare(const RecordSummary& summary, const IniRanges* ini) {
  BarPlot plot{.title = "MAC addresses used and left"};
  if (ini == nullptr || !ini->left.mac.present || !ini->left.mac.left) return plot;
  const uint64_t left = *ini->left.mac.left;
  plot.bars.push_back({.label = "used in the record",
                       .value = static_cast<double>(summary.macs_used_count),
                       .text = std::to_string(summary.macs_used_count)});
  plot.bars.push_back({.label = "left in " + ini->file,
                       .value = static_cast<double>(left),
                       .text = std::to_string(left)});
  return plot;
}

}  // namespace

ReportPageData GatherReportPage(const std::string& record_name, const ParsedBoardRecord& record,
                                const RecordSummary& summary, const IniRanges* ini) {
  ReportPageData data{.record_name = record_name, .summary = summary};
  if (ini != nullptr) data.ini = *ini;
  HourlyBoards hourly;
  for (const RecordEntry& entry : record.entries) hourly.Add(entry.fields);
  const HourBuckets buckets = hourly.Buckets();
  data.bucket_hours = buckets.bucket_hours;
  data.rates = RatePlots(data.summary, buckets);
  data.failures = RunsPlot("Failed runs by exit code", data.summary.failures, &data.failed_runs);
  data.refusals = RunsPlot("Refused runs by exit code", data.summary.refusals, &data.refused_runs);
  data.mac_share = MacShare(data.summary, ini);
  data.used_up = IdentitiesUsedUpOnNoBoard(record, summary.used_up_on_no_board);
  return data;
}
