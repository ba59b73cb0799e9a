// used_up_identities.h - the identities a run took and no programmed board holds: given to no
// other board ever again, they are what a line loses to failed and dead runs.
#pragma once

#include <vector>

#include "format/board_record.h"

// A MAC address and serial number, as one run takes them, that lines reserved or wrote and that no
// line tells programmed on a board.
struct UsedUpIdentity {
  int line = 0;            // the last line that reserved or wrote it
  BoardRecordLine fields;  // of that line
  // The line is a reservation that no later line answers: the run died, or is still running.
  bool outcome_unknown = false;
};

// In the order of their last lines.
std::vector<UsedUpIdentity> IdentitiesUsedUpOnNoBoard(const ParsedBoardRecord& record);
