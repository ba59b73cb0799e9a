// database_run_holding.h - what the database holds of one run, asked by the run's own key when
// the reply to its COMMIT was lost: the one question whose answer decides whether a reservation
// or an outcome is there, never a guess.
#pragma once

#include <string>

#include "platform/database.h"

struct RunHolding {
  bool reserved = false;  // the run's reservation line is there: its reservation was committed
  bool outcome = false;   // the run's outcome line is there
  std::string result;     // the outcome line's result
};

// One statement on |database|; false (the error in database.error()) when it could not be read.
bool ReadRunHolding(Database& database, const std::string& run_id, RunHolding* holding);
