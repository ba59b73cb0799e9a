// report_page_data.cpp - the one walk from a record to what its report page shows.
#include "tools/record/report_page_data.h"

#include <algorithm>
#include <map>
#include <utility>

#include "common/exit_codes.h"
#include "format/mac_text.h"
#include "format/utc_time.h"
#include "tools/record/hourly_boards.h"

namespace {

constexpr int kMinutesPerHour = 60;
constexpr int64_t kSecondsPerDay = 86400;
// Reasons beyond these are summed up in one row, so that errors naming each board's identity
// cannot make the plot endless.
constexpr size_t kMaxReasonRows = 20;

std::string Boards(int boards) {
  return std::to_string(boards) + (boards == 1 ? " board" : " boards");
}

// The bucket's start to its end: the end's date only when it is another day.
std::string BucketSpan(int64_t start_minute, int minutes) {
  const std::string start = MinuteText(start_minute);
  const std::string end = MinuteText(start_minute + minutes);
  const size_t date_length = start.find(' ');
  const bool same_day = start.compare(0, date_length, end, 0, date_length) == 0;
  return start + " to " + (same_day ? end.substr(date_length + 1) : end) + " UTC";
}

BarPlot PerHourPlot(const std::string& station, const std::vector<int>& boards,
                    const HourBuckets& buckets) {
  BarPlot plot{.title = "Boards per hour, " + station};
  const double hours = static_cast<double>(buckets.bucket_minutes) / kMinutesPerHour;
  for (size_t i = 0; i < boards.size(); ++i) {
    const int64_t start = buckets.first_minute + static_cast<int64_t>(i) * buckets.bucket_minutes;
    const double per_hour = boards[i] / hours;
    std::string tip = BucketSpan(start, buckets.bucket_minutes) + ": " + Boards(boards[i]);
    if (buckets.bucket_minutes != kMinutesPerHour) {
      tip += ", " + PlotNumber(per_hour) + " per hour";
    }
    plot.bars.push_back({.label = MinuteText(start).substr(5),  // no year: "03-01 08:00"
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
  }
  return plots;
}

int Total(const std::map<int, int>& runs) {
  int total = 0;
  for (const auto& [code, count] : runs) total += count;
  return total;
}

// The runs that ended as |end|, a row for each exit code and error text, the most frequent first.
BarPlot ReasonsPlot(const char* title, const ParsedBoardRecord& record, RunEnd end) {
  std::map<std::pair<int, std::string>, int> reasons;
  for (const RecordEntry& entry : record.entries) {
    if (EndOfLine(entry.fields) == end) ++reasons[{entry.fields.result, entry.fields.error}];
  }
  std::vector<std::pair<int, std::pair<int, std::string>>> rows;
  rows.reserve(reasons.size());
  for (auto& [reason, count] : reasons) rows.emplace_back(count, reason);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  BarPlot plot{.title = title};
  int others = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& [count, reason] = rows[i];
    if (i >= kMaxReasonRows) {
      others += count;
      continue;
    }
    const auto& [code, error] = reason;
    plot.bars.push_back({.label = "exit code " + std::to_string(code) + ": " +
                                  (error.empty() ? ExitCodeMeaning(code) : error),
                         .value = static_cast<double>(count),
                         .text = std::to_string(count)});
  }
  if (others > 0) {
    plot.bars.push_back({.label = "other reasons",
                         .value = static_cast<double>(others),
                         .text = std::to_string(others)});
  }
  return plot;
}

// Programmed in the 24 hours up to the record's last line.
int BoardsOfLastDay(const ParsedBoardRecord& record) {
  std::optional<int64_t> last;
  for (const RecordEntry& entry : record.entries) {
    int64_t seconds = 0;
    if (ParseUtcTime(entry.fields.time, &seconds)) last = std::max(last.value_or(seconds), seconds);
  }
  int boards = 0;
  for (const RecordEntry& entry : record.entries) {
    int64_t seconds = 0;
    if (last && EndOfLine(entry.fields) == RunEnd::kProgrammed &&
        ParseUtcTime(entry.fields.time, &seconds) && seconds > *last - kSecondsPerDay) {
      ++boards;
    }
  }
  return boards;
}

std::optional<uint64_t> MacNumberOf(const std::string& text) {
  MacAddress mac;
  if (!ParseMacAddress(text, &mac)) return std::nullopt;
  return MacNumber(mac);
}

// The record's MAC addresses above |low| up to |high|.
uint64_t UsedBetween(const RecordSummary& summary, std::optional<uint64_t> low, uint64_t high) {
  uint64_t used = 0;
  for (const MacRange& range : summary.macs_used) {
    const std::optional<uint64_t> first = MacNumberOf(range.first);
    const std::optional<uint64_t> last = MacNumberOf(range.last);
    if (!first || !last) continue;
    const uint64_t from = low ? std::max(*first, *low + 1) : *first;
    const uint64_t to = std::min(*last, high);
    if (from <= to) used += to - from + 1;
  }
  return used;
}

// The addresses of the record that the range of |inis[index]| handed out: those up to its
// maximum and above the next lower maximum of the others (an earlier file's, when two are equal).
std::optional<uint64_t> MacUsedFrom(const RecordSummary& summary,
                                    const std::vector<IniRanges>& inis, size_t index) {
  const IdentityRange& range = inis[index].left.mac;
  const std::optional<uint64_t> high = MacNumberOf(range.maximum);
  if (!range.present || range.increment <= 0 || !high) return std::nullopt;
  std::optional<uint64_t> low;
  for (size_t other = 0; other < inis.size(); ++other) {
    const IdentityRange& them = inis[other].left.mac;
    const std::optional<uint64_t> their = MacNumberOf(them.maximum);
    if (other == index || !them.present || !their) continue;
    const bool below = *their < *high || (*their == *high && other < index);
    if (below && (!low || *their > *low)) low = their;
  }
  return UsedBetween(summary, low, *high);
}

// |used|: the boards the range served, as its MAC addresses used in the record tell; a board
// takes one serial number with its MAC address, so they count for both.
RangeUse Use(const IniRanges& ini, const char* what, const char* plural, const IdentityRange& range,
             std::optional<uint64_t> used, int boards_last_day) {
  RangeUse use{.left = range.left, .text = RangeText(ini.file, what, plural, range)};
  if (!range.present || range.increment <= 0 || !range.left) return use;
  const uint64_t left = *range.left;
  if (left == 0) {
    use.level = RangeLevel::kUsedUp;
    use.text += ". Used up: no " + std::string(what) + " is left, and the next run from " +
                ini.file + " is refused";
  } else if (left < static_cast<uint64_t>(boards_last_day)) {
    use.level = RangeLevel::kNearlyUsedUp;
    use.text += ". Nearly used up: fewer left than the " + Boards(boards_last_day) +
                " the line made in its last day";
  } else if (left * 10 < left + used.value_or(0)) {
    use.level = RangeLevel::kNearlyUsedUp;
    use.text += ". Nearly used up: under a tenth of the range is left";
  }
  return use;
}

BarPlot MacShare(const IniRanges& ini, const RangeUse& mac) {
  BarPlot plot{.title = "MAC addresses of " + ini.file + ", used and left"};
  if (!mac.used || !mac.left) return plot;
  plot.bars.push_back({.label = "used in the record",
                       .value = static_cast<double>(*mac.used),
                       .text = std::to_string(*mac.used)});
  plot.bars.push_back({.label = "left in " + ini.file,
                       .value = static_cast<double>(*mac.left),
                       .text = std::to_string(*mac.left)});
  return plot;
}

std::vector<IniRangeUse> RangeUses(const RecordSummary& summary, const std::vector<IniRanges>& inis,
                                   int boards_last_day) {
  std::vector<IniRangeUse> uses;
  for (size_t i = 0; i < inis.size(); ++i) {
    const IniRanges& ini = inis[i];
    const std::optional<uint64_t> used = MacUsedFrom(summary, inis, i);
    IniRangeUse use{
        .ini = ini,
        .mac = Use(ini, "MAC address", "MAC addresses", ini.left.mac, used, boards_last_day),
        .serial =
            Use(ini, "serial number", "serial numbers", ini.left.serial, used, boards_last_day)};
    use.mac.used = used;
    use.mac_share = MacShare(ini, use.mac);
    uses.push_back(std::move(use));
  }
  return uses;
}

}  // namespace

ReportPageData GatherReportPage(const std::string& record_name, const ParsedBoardRecord& record,
                                const RecordSummary& summary, const std::vector<IniRanges>& inis) {
  ReportPageData data{.record_name = record_name, .summary = summary};
  HourlyBoards hourly;
  for (const RecordEntry& entry : record.entries) hourly.Add(entry.fields);
  const HourBuckets buckets = hourly.Buckets();
  data.bucket_minutes = buckets.bucket_minutes;
  data.rates = RatePlots(data.summary, buckets);
  data.failures = ReasonsPlot("Failed runs by reason", record, RunEnd::kFailed);
  data.refusals = ReasonsPlot("Refused runs by reason", record, RunEnd::kRefused);
  data.failed_runs = Total(data.summary.failures);
  data.refused_runs = Total(data.summary.refusals);
  data.boards_last_day = BoardsOfLastDay(record);
  data.ranges = RangeUses(data.summary, inis, data.boards_last_day);
  data.used_up = IdentitiesUsedUpOnNoBoard(record, summary.used_up_on_no_board);
  return data;
}
