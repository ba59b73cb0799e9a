// database_transfer.h - moving a per-board record between a CSV file and a database: the tables
// created, a file record brought in (twice is the same as once), the database written out as one.
#pragma once

#include <string>

#include "format/board_record.h"
#include "platform/database.h"

struct ImportCounts {
  int runs_added = 0;
  int runs_known = 0;  // brought in by an earlier import
};

// Brings every line of |record| in: a run of its own per line, keyed by the line's own contents
// (so a second import finds its runs there already), at the line's time, the first line that
// sends an identity claiming it and each later one taking it over.
// Commits every few hundred lines; false after an error (what was committed stays, and importing
// again completes it).
bool ImportRecord(const ParsedBoardRecord& record, Database& database, ImportCounts* counts);

// The record as a CSV file: the header and every line, in the one order (record_order.h).
bool ExportRecord(Database& database, std::string* csv);
