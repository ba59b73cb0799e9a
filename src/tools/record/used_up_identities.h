// used_up_identities.h - the identities a run took and no programmed board holds: given to no
// other board ever again, they are what a line loses to failed and dead runs.
#pragma once

#include <vector>

#include "format/board_record.h"
#include "format/open_identities.h"

// A MAC address and serial number, as one run takes them, that lines reserved or wrote and that no
// line tells programmed on a board.
struct UsedUpIdentity {
  int line = 0;            // the last line that reserved or wrote it
  BoardRecordLine fields;  // of that line
  // The line is a reservation that no later line answers: the run died, or is still running.
  bool outcome_unknown = false;
};

// The summary's |used_up| (in the order of their last lines), each with its line of |record|.
std::vector<UsedUpIdentity> IdentitiesUsedUpOnNoBoard(const ParsedBoardRecord& record,
                                                      const std::vector<RecordedOwner>& used_up);
