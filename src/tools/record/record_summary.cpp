// record_summary.cpp - counting runs, boards and MAC addresses over the lines of the record.
#include "tools/record/record_summary.h"

#include <algorithm>
#include <utility>

#include "common/byte_source.h"

namespace {

constexpr double kSecondsPerHour = 3600;

struct StationSpan {
  StationRate rate;
  double first_start = 0;
  double last_time = 0;
};

void AddLine(StationSpan& span, const RecordLineView& line, bool programmed) {
  if (programmed) ++span.rate.boards;
  const double start = static_cast<double>(line.seconds) - line.fields.duration_ms / 1000.0;
  const auto end = static_cast<double>(line.seconds);
  if (!span.rate.timed) {
    span.first_start = start;
    span.last_time = end;
  }
  span.rate.timed = true;
  span.first_start = std::min(span.first_start, start);
  span.last_time = std::max(span.last_time, end);
  span.rate.span_seconds = std::max(0.0, span.last_time - span.first_start);
}

// |macs| sorted, each once.
std::vector<MacRange> Ranges(const std::vector<uint64_t>& macs) {
  std::vector<MacRange> ranges;
  for (size_t first = 0, last = 0; first < macs.size(); first = ++last) {
    while (last + 1 < macs.size() && macs[last + 1] == macs[last] + 1) ++last;
    ranges.push_back({.first = MacAddressText(MacOfNumber(macs[first])),
                      .last = MacAddressText(MacOfNumber(macs[last])),
                      .count = last - first + 1});
  }
  return ranges;
}

}  // namespace

struct RecordSummarizer::Counts {
  RecordSummary summary;
  std::map<std::string, StationSpan, std::less<>> stations;
  StationSpan overall;
  std::vector<uint64_t> macs;  // reserved or written, each line's (a run's two lines once)
  PendingReservations pending;
  OpenIdentities open;
};

RecordSummarizer::RecordSummarizer() : counts_(std::make_unique<Counts>()) {}
RecordSummarizer::~RecordSummarizer() = default;

void RecordSummarizer::Line(const RecordLineView& line) {
  Counts& c = *counts_;
  const auto& fields = line.fields;
  ++c.summary.lines;
  const RunEnd end = EndOfLine(fields);
  const bool programmed = end == RunEnd::kProgrammed;
  if (programmed) {
    ++c.summary.programmed;
  } else if (end == RunEnd::kRefused) {
    ++c.summary.refusals[fields.result];
  } else if (end == RunEnd::kFailed) {
    ++c.summary.failures[fields.result];
  }
  if ((fields.reserved || fields.written) && line.has_mac() &&
      (c.macs.empty() || c.macs.back() != line.mac)) {
    c.macs.push_back(line.mac);
  }
  auto station = c.stations.find(fields.station);
  if (station == c.stations.end()) {
    station = c.stations.emplace(std::string(fields.station), StationSpan{}).first;
    station->second.rate.station = fields.station;
  }
  AddLine(station->second, line, programmed);
  AddLine(c.overall, line, programmed);
  c.pending.Note(line);
  c.open.Note(line);
}

void RecordSummarizer::Unreadable(int number, std::string_view /*text*/) {
  ++counts_->summary.lines;
  counts_->summary.malformed_lines.push_back(number);
}

RecordSummary RecordSummarizer::Finish() {
  Counts& c = *counts_;
  RecordSummary summary = std::move(c.summary);
  summary.unfinished = static_cast<int>(c.pending.size());
  for (auto& [name, station] : c.stations) summary.stations.push_back(station.rate);
  summary.overall = c.overall.rate;
  std::sort(c.macs.begin(), c.macs.end());
  c.macs.erase(std::unique(c.macs.begin(), c.macs.end()), c.macs.end());
  summary.macs_used = Ranges(c.macs);
  summary.macs_used_count = c.macs.size();
  summary.used_up_on_no_board = c.open.InLineOrder();
  counts_ = std::make_unique<Counts>();
  return summary;
}

void ExtendMacRanges(const std::string& mac, uint64_t* previous, std::vector<MacRange>* ranges) {
  MacAddress address;
  const uint64_t number = ParseMacAddress(mac, &address) ? MacNumber(address) : 0;
  if (!ranges->empty() && number == *previous + 1) {
    ranges->back().last = mac;
    ++ranges->back().count;
  } else {
    ranges->push_back({.first = mac, .last = mac, .count = 1});
  }
  *previous = number;
}

std::optional<double> StationRate::BoardsPerHour() const {
  if (!timed || span_seconds <= 0) return std::nullopt;
  return boards * kSecondsPerHour / span_seconds;
}

RecordSummary SummarizeRecord(std::string_view record) {
  TextSource source(record);
  RecordSummarizer summarizer;
  ReadRecordLines(source, summarizer);
  return summarizer.Finish();
}
