// used_up_identities.cpp - walking the record for identities taken by runs that left no board.
#include "tools/record/used_up_identities.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "tools/record/record_summary.h"

std::vector<UsedUpIdentity> IdentitiesUsedUpOnNoBoard(const ParsedBoardRecord& record) {
  using Identity = std::pair<std::string, std::string>;  // MAC address, serial number
  std::map<Identity, const RecordEntry*> last_taken;
  std::set<Identity> on_a_board;
  for (const RecordEntry& entry : record.entries) {
    const BoardRecordLine& line = entry.fields;
    if (!line.reserved && !line.written) continue;  // nothing was taken
    if (line.mac_address.empty() && line.serial_number.empty()) continue;
    const Identity identity{line.mac_address, line.serial_number};
    last_taken[identity] = &entry;
    if (ProgrammedBoard(line)) on_a_board.insert(identity);
  }
  std::vector<UsedUpIdentity> used_up;
  for (const auto& [identity, entry] : last_taken) {
    if (on_a_board.count(identity) != 0) continue;
    used_up.push_back({.line = entry->number,
                       .fields = entry->fields,
                       .outcome_unknown = entry->fields.reserved});
  }
  std::sort(used_up.begin(), used_up.end(),
            [](const UsedUpIdentity& a, const UsedUpIdentity& b) { return a.line < b.line; });
  return used_up;
}
