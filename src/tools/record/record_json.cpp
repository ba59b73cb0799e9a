// record_json.cpp - the JSON documents of qnt5200-record. Keys keep the order they are written in,
// so that the document reads like the text report.
#include "tools/record/record_json.h"

#include <nlohmann/json.hpp>

#include "common/exit_codes.h"

namespace {

using Json = nlohmann::ordered_json;

Json Header(const char* command, const std::string& record_name) {
  return Json{{"schema_version", kRecordJsonSchema}, {"command", command}, {"record", record_name}};
}

Json Runs(const std::map<int, int>& runs) {
  Json list = Json::array();
  for (const auto& [code, count] : runs) {
    list.push_back({{"exit_code", code}, {"meaning", ExitCodeMeaning(code)}, {"runs", count}});
  }
  return list;
}

Json Rate(const StationRate& rate) {
  const auto per_hour = rate.BoardsPerHour();
  return Json{{"station", rate.station},
              {"boards_programmed", rate.boards},
              {"span_seconds", rate.timed ? Json(rate.span_seconds) : Json(nullptr)},
              {"boards_per_hour", per_hour ? Json(*per_hour) : Json(nullptr)}};
}

Json Range(const IdentityRange& range) {
  if (!range.present) return nullptr;
  return Json{{"current", range.current},
              {"maximum", range.maximum.empty() ? Json(nullptr) : Json(range.maximum)},
              {"increment", range.increment},
              {"left", range.left ? Json(*range.left) : Json(nullptr)}};
}

// Invalid UTF-8 (a file name in a Windows code page) is replaced, never refused.
std::string Dump(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string SummaryJson(const std::string& record_name, const RecordSummary& summary,
                        const std::vector<IniRanges>& inis) {
  Json document = Header("summary", record_name);
  document["lines"] = summary.lines;
  document["malformed_lines"] = summary.malformed_lines;
  document["boards_programmed"] = summary.programmed;
  document["failures"] = Runs(summary.failures);
  document["refusals"] = Runs(summary.refusals);
  document["unknown_outcomes"] = summary.unfinished;
  Json stations = Json::array();
  for (const StationRate& station : summary.stations) stations.push_back(Rate(station));
  document["stations"] = stations;
  Json overall = Rate(summary.overall);
  overall.erase("station");
  document["all_stations"] = overall;
  document["mac_addresses_used"] = summary.macs_used_count;
  Json ranges = Json::array();
  for (const MacRange& range : summary.macs_used) {
    ranges.push_back({{"first", range.first}, {"last", range.last}, {"count", range.count}});
  }
  document["mac_address_ranges"] = ranges;
  Json used_up = Json::array();
  for (const RecordedOwner& owner : summary.used_up_on_no_board) {
    used_up.push_back(
        {{"line", owner.line},
         {"mac_address", owner.mac_address.empty() ? Json(nullptr) : Json(owner.mac_address)},
         {"serial_number", owner.serial_number.empty() ? Json(nullptr) : Json(owner.serial_number)},
         {"station", owner.station},
         {"time", owner.time},
         {"exit_code",
          owner.use == IdentityUse::kUnfinished ? Json(nullptr) : Json(owner.result)}});
  }
  document["identities_used_up_on_no_board"] = used_up;
  // "ini" is the first file's, as it was when only one could be named; "inis" holds them all.
  Json all = Json::array();
  for (const IniRanges& ini : inis) {
    Json mac = Range(ini.left.mac);
    if (ini.left.mac.present) mac["current_used"] = MacUsed(summary, ini.left.mac.current);
    all.push_back(
        Json{{"file", ini.file}, {"mac_address", mac}, {"serial_number", Range(ini.left.serial)}});
  }
  if (!all.empty()) {
    document["ini"] = all[0];
    document["inis"] = all;
  }
  return Dump(document);
}

std::string CheckJson(const std::string& record_name, const RecordCheck& check) {
  Json document = Header("check", record_name);
  document["clean"] = check.Clean();
  Json clashes = Json::array();
  for (const IdentityClash& clash : check.clashes) {
    clashes.push_back({{"kind", clash.mac ? "mac_address" : "serial_number"},
                       {"value", clash.value},
                       {"programmed_line", clash.programmed_line},
                       {"line", clash.line}});
  }
  document["on_two_boards"] = clashes;
  Json unknown = Json::array();
  for (const UnknownOutcome& entry : check.unknown) {
    unknown.push_back({{"line", entry.line},
                       {"mac_address", entry.fields.mac_address},
                       {"serial_number", entry.fields.serial_number},
                       {"station", entry.fields.station},
                       {"time", entry.fields.time}});
  }
  document["unknown_outcomes"] = unknown;
  document["malformed_lines"] = check.malformed_lines;
  Json damaged = Json::array();
  for (const auto& [line, names] : check.damaged) {
    damaged.push_back({{"line", line},
                       {"mac_addresses", names.mac_addresses},
                       {"serial_number", names.serial_number}});
  }
  document["unreadable_naming_identities"] = damaged;
  return Dump(document);
}
