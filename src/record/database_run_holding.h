// database_run_holding.h - what the database holds of one run, asked by the run's own key when
// the reply to its COMMIT was lost: the one question whose answer decides whether a reservation
// or an outcome is there, never a guess.
#pragma once

#include <string>

#include "platform/database.h"

struct RunHolding {
  bool run = false;            // the run's row is there: its reservation was committed
  std::string result;          // the row's result: "reserved" until its outcome is recorded
  std::string identity_state;  // the state of the identity the run holds; "" when it holds none
};

// One statement on |database|; false (the error in database.error()) when it could not be read.
bool ReadRunHolding(Database& database, const std::string& run_id, RunHolding* holding);
