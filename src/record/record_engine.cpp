// record_engine.cpp - the engine table.
#include "record/record_engine.h"

namespace {

constexpr RecordEngine kStandard = {
    .time_type = "TIMESTAMP(6)",
    .now = "(CURRENT_TIMESTAMP AT TIME ZONE 'UTC')",
    .time_of = "CAST(? AS TIMESTAMP(6))",
};
constexpr RecordEngine kMariaDb = {
    .time_type = "DATETIME(6)",
    .now = "UTC_TIMESTAMP(6)",
    .time_of = "CAST(? AS DATETIME(6))",
};
constexpr RecordEngine kSqlServer = {
    .time_type = "DATETIME2",
    .now = "SYSUTCDATETIME()",
    .time_of = "CAST(? AS DATETIME2)",
};

}  // namespace

const RecordEngine& RecordEngineOf(const std::string& product) {
  if (product.find("MariaDB") != std::string::npos || product.find("MySQL") != std::string::npos) {
    return kMariaDb;
  }
  if (product.find("SQL Server") != std::string::npos) return kSqlServer;
  return kStandard;
}
