// record_summary.cpp - counting runs, boards and MAC addresses over the lines of the record.
#include "tools/record/record_summary.h"

#include <algorithm>
#include <set>
#include <utility>

#include "common/hex_digit.h"
#include "tools/record/utc_time.h"

namespace {

constexpr double kSecondsPerHour = 3600;

struct StationSpan {
  StationRate rate;
  double first_start = 0;
  double last_time = 0;
};

void AddLine(StationSpan& span, const BoardRecordLine& line, bool programmed) {
  if (programmed) ++span.rate.boards;
  int64_t time = 0;
  if (!ParseUtcTime(line.time, &time)) return;
  const double start = static_cast<double>(time) - line.duration_ms / 1000.0;
  const auto end = static_cast<double>(time);
  if (!span.rate.timed) {
    span.first_start = start;
    span.last_time = end;
  }
  span.rate.timed = true;
  span.first_start = std::min(span.first_start, start);
  span.last_time = std::max(span.last_time, end);
  span.rate.span_seconds = std::max(0.0, span.last_time - span.first_start);
}

// The address as a 48-bit number, first octet most significant.
uint64_t MacNumber(const std::string& canonical) {
  uint64_t number = 0;
  for (const char c : canonical) {
    const int digit = HexDigitValue(c);
    if (digit >= 0) number = number << 4 | static_cast<uint64_t>(digit);
  }
  return number;
}

std::vector<MacRange> Ranges(const std::set<std::string>& macs) {
  std::vector<MacRange> ranges;
  uint64_t previous = 0;
  for (const std::string& mac : macs) {  // canonical text sorts as the numbers do
    const uint64_t number = MacNumber(mac);
    if (!ranges.empty() && number == previous + 1) {
      ranges.back().last = mac;
      ++ranges.back().count;
    } else {
      ranges.push_back({.first = mac, .last = mac, .count = 1});
    }
    previous = number;
  }
  return ranges;
}

std::string IdentityKey(const BoardRecordLine& line) {
  return line.mac_address + "," + line.serial_number;
}

}  // namespace

std::optional<double> StationRate::BoardsPerHour() const {
  if (!timed || span_seconds <= 0) return std::nullopt;
  return boards * kSecondsPerHour / span_seconds;
}

bool ProgrammedBoard(const BoardRecordLine& line) {
  return !line.reserved && line.written && line.result == 0;
}

RecordSummary SummarizeRecord(const ParsedBoardRecord& record) {
  RecordSummary summary;
  summary.lines = static_cast<int>(record.entries.size() + record.malformed_lines.size());
  summary.malformed_lines = record.malformed_lines;
  std::map<std::string, StationSpan> stations;
  StationSpan overall;
  std::set<std::string> macs;
  for (const RecordEntry& entry : record.entries) {
    const BoardRecordLine& line = entry.fields;
    const bool programmed = ProgrammedBoard(line);
    if (programmed) {
      ++summary.programmed;
    } else if (!line.reserved && line.refused) {
      ++summary.refusals[line.result];
    } else if (!line.reserved && line.result != 0) {
      ++summary.failures[line.result];
    }
    if ((line.reserved || line.written) && !line.mac_address.empty()) macs.insert(line.mac_address);
    StationSpan& station = stations[line.station];
    station.rate.station = line.station;
    AddLine(station, line, programmed);
    AddLine(overall, line, programmed);
  }
  summary.unfinished = static_cast<int>(UnansweredReservations(record).size());
  for (auto& [name, station] : stations) summary.stations.push_back(station.rate);
  summary.overall = overall.rate;
  summary.macs_used = Ranges(macs);
  summary.macs_used_count = macs.size();
  return summary;
}

std::vector<int> UnansweredReservations(const ParsedBoardRecord& record) {
  std::set<std::string> taken_later;
  std::vector<int> unanswered;
  for (auto entry = record.entries.rbegin(); entry != record.entries.rend(); ++entry) {
    const BoardRecordLine& line = entry->fields;
    if (!line.reserved && !line.written) continue;
    const bool answered = !taken_later.insert(IdentityKey(line)).second;
    if (line.reserved && !answered) unanswered.push_back(entry->number);
  }
  std::reverse(unanswered.begin(), unanswered.end());
  return unanswered;
}
