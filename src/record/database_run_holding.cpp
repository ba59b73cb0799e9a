// database_run_holding.cpp - the lines keyed by one run, in one statement.
#include "record/database_run_holding.h"

#include "record/record_schema.h"

bool ReadRunHolding(Database& database, const std::string& run_id, RunHolding* holding) {
  *holding = {};
  return database.Query("SELECT kind, result FROM qnt5200_line WHERE run_id = ?",
                        {DatabaseValue::Text(run_id)}, [&](const DatabaseRow& row) {
                          const std::string kind = row[0].value_or("");
                          if (kind == kLineReserve) holding->reserved = true;
                          if (kind == kLineOutcome) {
                            holding->outcome = true;
                            holding->result = row.size() > 1 ? row[1].value_or("") : "";
                          }
                          return true;
                        });
}
