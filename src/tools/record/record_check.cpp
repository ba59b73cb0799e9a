// record_check.cpp - walking the record in order, with the line that programmed each identity.
#include "tools/record/record_check.h"

#include <algorithm>
#include <map>

#include "tools/record/record_summary.h"

namespace {

void CheckIdentity(std::map<std::string, int>& programmed, const std::string& value, bool mac,
                   const RecordEntry& entry, std::vector<IdentityClash>* clashes) {
  if (value.empty()) return;
  const auto found = programmed.find(value);
  if (found != programmed.end()) {
    clashes->push_back(
        {.mac = mac, .value = value, .programmed_line = found->second, .line = entry.number});
  } else if (entry.fields.result == 0) {
    programmed.emplace(value, entry.number);
  }
}

}  // namespace

RecordCheck CheckRecord(const ParsedBoardRecord& record, bool serial_counts) {
  RecordCheck check;
  check.malformed_lines = record.malformed_lines;
  std::map<std::string, int> programmed_macs;
  std::map<std::string, int> programmed_serials;
  for (const RecordEntry& entry : record.entries) {
    if (entry.fields.reserved || !entry.fields.written) continue;
    CheckIdentity(programmed_macs, entry.fields.mac_address, true, entry, &check.clashes);
    if (serial_counts) {
      CheckIdentity(programmed_serials, entry.fields.serial_number, false, entry, &check.clashes);
    }
  }
  std::stable_sort(check.clashes.begin(), check.clashes.end(),
                   [](const IdentityClash& a, const IdentityClash& b) { return a.line < b.line; });
  const std::vector<int> unanswered = UnansweredReservations(record);
  for (const RecordEntry& entry : record.entries) {
    if (std::binary_search(unanswered.begin(), unanswered.end(), entry.number)) {
      check.unknown.push_back({.line = entry.number, .fields = entry.fields});
    }
  }
  return check;
}
