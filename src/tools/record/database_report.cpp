// database_report.cpp - the summary and the check of a database record: the server counts and
// joins, the program streams only what it prints.
#include "tools/record/database_report.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "format/utc_time.h"
#include "record/record_schema.h"
#include "tools/record/record_json.h"

namespace {

using Json = nlohmann::ordered_json;

int64_t Number(const std::optional<std::string>& text) {
  return text ? std::strtoll(text->c_str(), nullptr, 10) : 0;
}

// A station's (or all stations') boards and span, from its first run's start to its last change.
void ReadRate(const DatabaseRow& row, size_t column, StationRate* rate) {
  rate->boards = static_cast<int>(Number(row[column]));
  int64_t first = 0;
  int64_t last = 0;
  if (row[column + 1] && row[column + 2] && ParseUtcTime(*row[column + 1], &first) &&
      ParseUtcTime(*row[column + 2], &last)) {
    rate->timed = true;
    rate->span_seconds = static_cast<double>(std::max<int64_t>(0, last - first));
  }
}

constexpr char kRateColumns[] =
    "SUM(CASE WHEN written = 'yes' AND result = '0' THEN 1 ELSE 0 END), MIN(started_at),"
    " MAX(updated_at)";

RunMention MentionOf(const DatabaseRow& row, size_t column) {
  return {.station = row[column].value_or(""),
          .adapter = static_cast<uint32_t>(Number(row[column + 1])),
          .time = row[column + 2].value_or(""),
          .file = row[column + 3].value_or("")};
}

// Every later write of an identity a run programmed: the identity table holds one owner, the runs
// table every board it reached (records of two lines imported into one database among them).
bool FindClashes(Database& database, const char* column, bool mac,
                 std::vector<DatabaseClash>* clashes) {
  const std::string sql =
      std::string("SELECT p.") + column +
      ", p.station, p.adapter, p.updated_at, p.file_name, r.station, r.adapter, r.updated_at,"
      " r.file_name FROM qnt5200_run p JOIN qnt5200_run r ON r." +
      column + " = p." + column +
      " AND r.run_id <> p.run_id WHERE p.written = 'yes' AND p.result = '0' AND"
      " r.written = 'yes' AND p." +
      column +
      " <> '' AND (r.updated_at > p.updated_at OR (r.updated_at = p.updated_at AND"
      " r.run_id > p.run_id)) ORDER BY r.updated_at, p." +
      column;
  return database.Query(sql, {}, [&](const DatabaseRow& row) {
    clashes->push_back({.mac = mac,
                        .value = row[0].value_or(""),
                        .programmed = MentionOf(row, 1),
                        .again = MentionOf(row, 5)});
    return true;
  });
}

void Append(std::string& text, const std::string& more) { text += more; }

std::string Described(const RunMention& run) {
  char adapter[16];
  std::snprintf(adapter, sizeof adapter, "%u", static_cast<unsigned>(run.adapter));
  return "station " + (run.station.empty() ? std::string("(no station named)") : run.station) +
         ", adapter " + adapter + ", at " + run.time + " (" + run.file + ")";
}

Json MentionJson(const RunMention& run) {
  return Json{
      {"station", run.station}, {"adapter", run.adapter}, {"time", run.time}, {"file", run.file}};
}

}  // namespace

bool SummarizeDatabase(Database& database, RecordSummary* summary) {
  *summary = {};
  const auto count_runs = [&](const char* condition, std::map<int, int>* runs) {
    return database.Query(std::string("SELECT result, COUNT(*) FROM qnt5200_run WHERE ") +
                              condition + " GROUP BY result",
                          {}, [&](const DatabaseRow& row) {
                            (*runs)[static_cast<int>(Number(row[0]))] +=
                                static_cast<int>(Number(row[1]));
                            return true;
                          });
  };
  std::vector<MacRange> ranges;
  uint64_t previous = 0;
  return database.Query(std::string("SELECT COUNT(*), ") + kRateColumns + " FROM qnt5200_run", {},
                        [&](const DatabaseRow& row) {
                          summary->lines = static_cast<int>(Number(row[0]));
                          ReadRate(row, 1, &summary->overall);
                          summary->programmed = summary->overall.boards;
                          return false;
                        }) &&
         count_runs("written = 'refused'", &summary->refusals) &&
         count_runs("written <> 'refused' AND result <> '0' AND result <> 'reserved'",
                    &summary->failures) &&
         database.Query("SELECT COUNT(*) FROM qnt5200_identity WHERE state = ?",
                        {DatabaseValue::Text(kIdentityReserved)},
                        [&](const DatabaseRow& row) {
                          summary->unfinished = static_cast<int>(Number(row[0]));
                          return false;
                        }) &&
         database.Query(std::string("SELECT station, ") + kRateColumns +
                            " FROM qnt5200_run GROUP BY station ORDER BY station",
                        {},
                        [&](const DatabaseRow& row) {
                          StationRate rate{.station = row[0].value_or("")};
                          ReadRate(row, 1, &rate);
                          summary->stations.push_back(rate);
                          return true;
                        }) &&
         database.Query("SELECT mac_address FROM qnt5200_identity ORDER BY mac_address", {},
                        [&](const DatabaseRow& row) {
                          ExtendMacRanges(row[0].value_or(""), &previous, &summary->macs_used);
                          ++summary->macs_used_count;
                          return true;
                        });
}

bool CheckDatabase(Database& database, bool serial_counts, DatabaseCheck* check) {
  return FindClashes(database, "mac_address", true, &check->clashes) &&
         (!serial_counts || FindClashes(database, "serial_number", false, &check->clashes)) &&
         database.Query(
             "SELECT i.mac_address, r.serial_number, i.station, i.adapter, i.reserved_at,"
             " r.file_name FROM qnt5200_identity i LEFT JOIN qnt5200_run r ON r.run_id = i.run_id"
             " WHERE i.state = ? ORDER BY i.reserved_at, i.mac_address",
             {DatabaseValue::Text(kIdentityReserved)}, [&](const DatabaseRow& row) {
               check->unknown.push_back({.mac_address = row[0].value_or(""),
                                         .serial_number = row[1].value_or(""),
                                         .run = MentionOf(row, 2)});
               return true;
             });
}

std::string DatabaseCheckText(const std::string& record_name, const DatabaseCheck& check) {
  std::string text;
  for (const DatabaseClash& clash : check.clashes) {
    Append(text, std::string(clash.mac ? "MAC address " : "Serial number ") + clash.value +
                     " is on two boards: programmed by " + Described(clash.programmed) +
                     ", written again by " + Described(clash.again) + "\n");
  }
  for (const DatabaseUnknown& unknown : check.unknown) {
    Append(text,
           "Outcome unknown: MAC address " +
               (unknown.mac_address.empty() ? "-" : unknown.mac_address) + ", serial number " +
               (unknown.serial_number.empty() ? "-" : unknown.serial_number) + " reserved by " +
               Described(unknown.run) + ", and no later run says what became of it\n");
  }
  for (const IniOverlap& overlap : check.overlaps) {
    Append(text, "The INI files " + overlap.first_file + " and " + overlap.second_file +
                     " may both give the MAC addresses " + overlap.first_mac + " to " +
                     overlap.last_mac + "\n");
  }
  char counts[160];
  std::snprintf(counts, sizeof counts,
                ": %zu identit%s on two boards, %zu run%s of unknown outcome, %zu overlapping "
                "INI range%s\n",
                check.clashes.size(), check.clashes.size() == 1 ? "y" : "ies", check.unknown.size(),
                check.unknown.size() == 1 ? "" : "s", check.overlaps.size(),
                check.overlaps.size() == 1 ? "" : "s");
  return text + "Record " + record_name + counts;
}

std::string DatabaseCheckJson(const std::string& record_name, const DatabaseCheck& check) {
  Json document{{"schema_version", kRecordJsonSchema},
                {"command", "check"},
                {"record", record_name},
                {"clean", check.Clean()}};
  Json clashes = Json::array();
  for (const DatabaseClash& clash : check.clashes) {
    clashes.push_back({{"kind", clash.mac ? "mac_address" : "serial_number"},
                       {"value", clash.value},
                       {"programmed", MentionJson(clash.programmed)},
                       {"written_again", MentionJson(clash.again)}});
  }
  document["on_two_boards"] = clashes;
  Json unknown = Json::array();
  for (const DatabaseUnknown& entry : check.unknown) {
    unknown.push_back({{"mac_address", entry.mac_address},
                       {"serial_number", entry.serial_number},
                       {"reserved_by", MentionJson(entry.run)}});
  }
  document["unknown_outcomes"] = unknown;
  Json overlaps = Json::array();
  for (const IniOverlap& overlap : check.overlaps) {
    overlaps.push_back({{"files", {overlap.first_file, overlap.second_file}},
                        {"first", overlap.first_mac},
                        {"last", overlap.last_mac}});
  }
  document["ini_overlaps"] = overlaps;
  return document.dump(2) + "\n";
}
