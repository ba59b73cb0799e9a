// record_order.cpp - the record's lines read in order. The server sorts by time; the client only
// holds back a rework's lines until the outcome of the run it took over has been written, which
// the server's time already puts first unless its clock was set back in between.
#include "record/record_order.h"

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "format/board_record.h"
#include "format/record_reader.h"
#include "record/record_schema.h"

namespace {

constexpr char kOrderedLines[] =
    "SELECT l.run_id, l.kind, t.taken_run_id, o.run_id, l.line_time, l.adapter, l.chip, l.memory,"
    " l.mac_address, l.serial_number, l.image_length, l.crc32, l.file_name, l.result, l.written,"
    " l.verified, l.station, l.duration_ms, l.error FROM qnt5200_line l LEFT JOIN"
    " qnt5200_takeover t ON t.run_id = l.run_id LEFT JOIN qnt5200_line o ON o.run_id ="
    " t.taken_run_id AND o.kind = 'outcome' ORDER BY l.recorded_at, l.line_order, l.kind DESC,"
    " l.run_id";

BoardRecordLine LineOf(const DatabaseRow& row) {
  const auto text = [&](size_t column) { return row[column].value_or(""); };
  BoardRecordLine line{
      .time = text(4),
      .adapter = static_cast<uint32_t>(std::strtoul(text(5).c_str(), nullptr, 10)),
      .chip = text(6),
      .memory = text(7),
      .mac_address = text(8),
      .serial_number = text(9),
      .image_length = static_cast<int32_t>(std::strtol(text(10).c_str(), nullptr, 10)),
      .crc32 = static_cast<uint32_t>(std::strtoul(text(11).c_str(), nullptr, 16)),
      .file = text(12),
      .station = text(16),
      .duration_ms = static_cast<uint32_t>(std::strtoul(text(17).c_str(), nullptr, 10)),
      .error = text(18)};
  line.reserved = text(13) == kRecordReserved;
  line.result = line.reserved ? 0 : std::atoi(text(13).c_str());
  line.written = text(14) == "yes";
  line.refused = text(14) == "refused";
  line.verified = text(15) == "yes";
  return line;
}

// Writes lines out in the server's order, holding back those of a run whose predecessor's
// outcome is still to come.
class Orderer {
 public:
  explicit Orderer(std::string* csv) : csv_(csv) {}

  void Take(const DatabaseRow& row) {
    const std::string run = row[0].value_or("");
    const std::string taken = row[2].value_or("");
    const bool taken_has_outcome = row[3].has_value();
    std::string line = FormatBoardRecordLine(LineOf(row));
    const auto held = held_run_.find(run);
    if (held != held_run_.end()) {
      waiting_[held->second].push_back({run, row[1].value_or(""), std::move(line)});
      return;
    }
    if (!taken.empty() && taken_has_outcome && !outcome_written_.contains(taken)) {
      held_run_[run] = taken;
      waiting_[taken].push_back({run, row[1].value_or(""), std::move(line)});
      return;
    }
    Write(run, row[1].value_or(""), line);
  }

  // Whatever still waits (a predecessor whose outcome never came in order) goes last.
  void Finish() {
    while (!waiting_.empty()) {
      auto first = waiting_.begin();
      std::vector<Waiting> lines = std::move(first->second);
      waiting_.erase(first);
      for (Waiting& waiting : lines) {
        held_run_.erase(waiting.run);
        Write(waiting.run, waiting.kind, waiting.line);
      }
    }
  }

 private:
  struct Waiting {
    std::string run;
    std::string kind;
    std::string line;
  };

  void Write(const std::string& run, const std::string& kind, const std::string& line) {
    *csv_ += line;
    if (kind != kLineOutcome) return;
    outcome_written_.insert(run);
    const auto released = waiting_.find(run);
    if (released == waiting_.end()) return;
    std::vector<Waiting> lines = std::move(released->second);
    waiting_.erase(released);
    for (Waiting& waiting : lines) {
      held_run_.erase(waiting.run);
      Write(waiting.run, waiting.kind, waiting.line);
    }
  }

  std::string* csv_;
  std::set<std::string> outcome_written_;
  std::map<std::string, std::string> held_run_;  // a held run, and the run it waits for
  std::map<std::string, std::vector<Waiting>> waiting_;
};

}  // namespace

bool ReadOrderedRecord(Database& database, std::string* csv) {
  *csv = kBoardRecordHeader;
  Orderer orderer(csv);
  const bool read = database.Query(kOrderedLines, {}, [&](const DatabaseRow& row) {
    orderer.Take(row);
    return true;
  });
  orderer.Finish();
  return read;
}
