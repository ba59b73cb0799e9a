// record_identity.cpp - an identity's state from the claim, the takeovers and the lines.
#include "record/record_identity.h"

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "record/record_schema.h"

namespace {

struct ChainLine {
  std::string run_id;
  std::string kind;
  std::string result;
  std::string verified;
  std::string station;
  uint32_t adapter = 0;
  std::string time;
  std::string serial_number;
};

bool Programmed(const ChainLine& line) {
  // The board given the last identity of its range was programmed, though its run ends with 10.
  return line.kind == kLineOutcome && (line.result == "0" || line.verified == "yes");
}

// The claim's run, then each rework that took it over from the run before it.
bool ReadChain(Database& database, const std::string& mac_address, std::vector<std::string>* runs) {
  std::string claim;
  std::map<std::string, std::string> taken_by;
  const DatabaseValue mac = DatabaseValue::Text(mac_address);
  if (!database.Query(
          "SELECT run_id, '' FROM qnt5200_mac WHERE mac_address = ? UNION ALL SELECT run_id,"
          " taken_run_id FROM qnt5200_takeover WHERE mac_address = ?",
          {mac, mac}, [&](const DatabaseRow& row) {
            const std::string run = row[0].value_or("");
            const std::string taken = row[1].value_or("");
            if (taken.empty()) {
              claim = run;
            } else {
              taken_by[taken] = run;
            }
            return true;
          })) {
    return false;
  }
  runs->clear();
  if (claim.empty()) return true;
  std::set<std::string> seen;
  for (std::string run = claim; seen.insert(run).second;) {
    runs->push_back(run);
    const auto next = taken_by.find(run);
    if (next == taken_by.end()) break;
    run = next->second;
  }
  return true;
}

void Describe(const ChainLine& line, IdentityState state, IdentityOwner* owner) {
  owner->state = state;
  owner->serial_number = line.serial_number;
  owner->station = line.station;
  owner->adapter = line.adapter;
  owner->time = line.time;
}

}  // namespace

bool ReadMacIdentity(Database& database, const std::string& mac_address, IdentityOwner* owner,
                     std::string* last_run) {
  std::vector<std::string> runs;
  if (!ReadChain(database, mac_address, &runs)) return false;
  *owner = {};
  last_run->clear();
  if (runs.empty()) return true;
  std::map<std::string, std::vector<ChainLine>> lines;
  if (!database.Query(
          "SELECT run_id, kind, result, verified, station, adapter, line_time, serial_number FROM"
          " qnt5200_line WHERE mac_address = ?",
          {DatabaseValue::Text(mac_address)}, [&](const DatabaseRow& row) {
            const auto text = [&](size_t column) { return row[column].value_or(""); };
            lines[text(0)].push_back(
                {.run_id = text(0),
                 .kind = text(1),
                 .result = text(2),
                 .verified = text(3),
                 .station = text(4),
                 .adapter = static_cast<uint32_t>(std::strtoul(text(5).c_str(), nullptr, 10)),
                 .time = text(6),
                 .serial_number = text(7)});
            return true;
          })) {
    return false;
  }
  owner->mac_address = mac_address;
  owner->state = IdentityState::kReserved;
  *last_run = runs.back();
  for (const std::string& run : runs) {
    for (const ChainLine& line : lines[run]) {
      if (Programmed(line)) {
        Describe(line, IdentityState::kProgrammed, owner);
        return true;
      }
    }
  }
  // The last run's latest line: its outcome, else its reservation.
  const ChainLine* latest = nullptr;
  for (const ChainLine& line : lines[runs.back()]) {
    if (latest == nullptr || line.kind == kLineOutcome) latest = &line;
  }
  if (latest != nullptr) {
    Describe(*latest,
             latest->kind == kLineOutcome ? IdentityState::kFailed : IdentityState::kReserved,
             owner);
  }
  return true;
}

bool ReadSerialIdentity(Database& database, const std::string& serial_number,
                        IdentityOwner* owner) {
  std::optional<std::string> mac;
  *owner = {};
  if (!database.Query("SELECT mac_address FROM qnt5200_serial WHERE serial_number = ?",
                      {DatabaseValue::Text(serial_number)}, [&](const DatabaseRow& row) {
                        mac = row[0].value_or("");
                        return false;
                      })) {
    return false;
  }
  if (!mac) return true;
  std::string last_run;
  if (!mac->empty() && !ReadMacIdentity(database, *mac, owner, &last_run)) return false;
  if (owner->state == IdentityState::kFree) owner->state = IdentityState::kReserved;
  owner->mac_address = *mac;
  if (owner->serial_number.empty()) owner->serial_number = serial_number;
  return true;
}
