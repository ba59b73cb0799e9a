// database_run_holding.cpp - the rows keyed by one run, in one statement.
#include "record/database_run_holding.h"

namespace {

constexpr char kRunHolding[] =
    "SELECT r.result, i.state FROM qnt5200_run r LEFT JOIN qnt5200_identity i"
    " ON i.run_id = r.run_id WHERE r.run_id = ?";

}  // namespace

bool ReadRunHolding(Database& database, const std::string& run_id, RunHolding* holding) {
  *holding = {};
  return database.Query(kRunHolding, {DatabaseValue::Text(run_id)}, [&](const DatabaseRow& row) {
    holding->run = true;
    holding->result = row[0].value_or("");
    holding->identity_state = row.size() > 1 ? row[1].value_or("") : "";
    return false;
  });
}
