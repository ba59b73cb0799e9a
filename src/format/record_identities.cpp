// record_identities.cpp - the last word of the per-board record on each MAC address and serial
// number.
#include "format/record_identities.h"

namespace {

void Note(std::map<std::string, IdentityEntry>& entries, const std::string& key,
          const IdentityEntry& entry) {
  if (!key.empty()) entries[key] = entry;
}

}  // namespace

IdentityUse UseOfLine(const BoardRecordLine& line) {
  if (line.reserved) return IdentityUse::kUnfinished;
  if (!line.written) return IdentityUse::kFree;
  return line.result == 0 ? IdentityUse::kProgrammed : IdentityUse::kFailed;
}

bool RecordIdentities::HasOpenIdentities() const {
  for (const auto* entries : {&by_mac, &by_serial}) {
    for (const auto& [key, entry] : *entries) {
      if (entry.use == IdentityUse::kUnfinished || entry.use == IdentityUse::kFailed) return true;
    }
  }
  return false;
}

RecordIdentities ReadRecordIdentities(const std::string& record) {
  ParsedBoardRecord parsed = ParseBoardRecord(record);
  RecordIdentities identities;
  identities.malformed_lines = std::move(parsed.malformed_lines);
  for (const RecordEntry& line : parsed.entries) {
    const IdentityUse use = UseOfLine(line.fields);
    if (use == IdentityUse::kFree) continue;
    const IdentityEntry entry{.use = use,
                              .line = line.number,
                              .mac_address = line.fields.mac_address,
                              .serial_number = line.fields.serial_number};
    Note(identities.by_mac, entry.mac_address, entry);
    Note(identities.by_serial, entry.serial_number, entry);
  }
  return identities;
}
