// record_order.h - the lines of the database record in the order the runs happened, the one order
// every reader (summary, check, export, the report page) takes: a rework's lines after the lines
// of the run it took over, whatever the clocks say; then the server's time of each line's
// transaction, to the microsecond; then the place of a line in the file it was imported from; a
// run's reservation before its outcome; and last the run's key.
#pragma once

#include <string>

#include "platform/database.h"

// The record as the file record would hold it: the header, then one CSV line per row of
// qnt5200_line. False when the query failed (database.error() says why).
bool ReadOrderedRecord(Database& database, std::string* csv);
