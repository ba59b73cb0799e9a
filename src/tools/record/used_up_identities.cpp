// used_up_identities.cpp - the summary's identities used up on no board, with their lines whole.
#include "tools/record/used_up_identities.h"

#include <algorithm>

std::vector<UsedUpIdentity> IdentitiesUsedUpOnNoBoard(const ParsedBoardRecord& record,
                                                      const std::vector<RecordedOwner>& used_up) {
  std::vector<UsedUpIdentity> identities;
  for (const RecordedOwner& owner : used_up) {
    const auto entry =
        std::lower_bound(record.entries.begin(), record.entries.end(), owner.line,
                         [](const RecordEntry& entry, int line) { return entry.number < line; });
    if (entry == record.entries.end() || entry->number != owner.line) continue;
    identities.push_back({.line = owner.line,
                          .fields = entry->fields,
                          .outcome_unknown = owner.use == IdentityUse::kUnfinished});
  }
  return identities;
}
