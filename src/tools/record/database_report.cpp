// database_report.cpp - the summary and the check of a database record: the record file's own
// summary and check of the lines in the one order (record_order.h), so that a database and a file
// holding the same runs give the same numbers.
#include "tools/record/database_report.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>

#include "record/record_order.h"
#include "tools/record/record_check.h"
#include "tools/record/record_json.h"

namespace {

using Json = nlohmann::ordered_json;

RunMention MentionOf(const BoardRecordLine& line) {
  return {.station = line.station, .adapter = line.adapter, .time = line.time, .file = line.file};
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
  std::string record;
  if (!ReadOrderedRecord(database, &record)) return false;
  *summary = SummarizeRecord(record);
  return true;
}

// The file record's check of the lines in order, each line named by its run as a database
// record names it.
bool CheckDatabase(Database& database, bool serial_counts, DatabaseCheck* check) {
  std::string record;
  if (!ReadOrderedRecord(database, &record)) return false;
  const ParsedBoardRecord lines = ParseBoardRecord(record);
  std::map<int, const BoardRecordLine*> by_number;
  for (const RecordEntry& entry : lines.entries) by_number[entry.number] = &entry.fields;
  const auto mention = [&](int number) {
    const auto found = by_number.find(number);
    return found == by_number.end() ? RunMention{} : MentionOf(*found->second);
  };
  const RecordCheck found = CheckRecord(record, serial_counts);
  for (const IdentityClash& clash : found.clashes) {
    check->clashes.push_back({.mac = clash.mac,
                              .value = clash.value,
                              .programmed = mention(clash.programmed_line),
                              .again = mention(clash.line)});
  }
  for (const UnknownOutcome& unknown : found.unknown) {
    check->unknown.push_back({.mac_address = unknown.fields.mac_address,
                              .serial_number = unknown.fields.serial_number,
                              .run = mention(unknown.line)});
  }
  return true;
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
