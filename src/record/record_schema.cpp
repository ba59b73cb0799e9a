// record_schema.cpp - creating the record's tables, telling their version, and upgrading those of
// version 1 (an identity table whose state stations updated, and one runs table row per run).
#include "record/record_schema.h"

#include <cstdlib>
#include <optional>

#include "record/record_engine.h"

namespace {

// The tables of version 2; "%T" stands for the engine's time type. Keys are made by the client.
constexpr const char* kLineTable =
    "CREATE TABLE qnt5200_line ("
    " run_id VARCHAR(400) NOT NULL,"
    " kind VARCHAR(8) NOT NULL,"
    " recorded_at %T NOT NULL,"
    " line_order BIGINT NOT NULL,"
    " line_time VARCHAR(20) NOT NULL,"
    " adapter INTEGER NOT NULL,"
    " chip VARCHAR(40) NOT NULL,"
    " memory VARCHAR(8) NOT NULL,"
    " mac_address VARCHAR(17) NOT NULL,"
    " serial_number VARCHAR(255) NOT NULL,"
    " image_length INTEGER NOT NULL,"
    " crc32 VARCHAR(8) NOT NULL,"
    " file_name VARCHAR(4000) NOT NULL,"
    " result VARCHAR(12) NOT NULL,"
    " written VARCHAR(8) NOT NULL,"
    " verified VARCHAR(3) NOT NULL,"
    " station VARCHAR(255) NOT NULL,"
    " duration_ms BIGINT NOT NULL,"
    " error VARCHAR(4000) NOT NULL,"
    " PRIMARY KEY (run_id, kind))";

constexpr const char* kVersionTwoStatements[] = {
    kLineTable,
    "CREATE INDEX qnt5200_line_order ON qnt5200_line (recorded_at, line_order)",
    "CREATE INDEX qnt5200_line_mac ON qnt5200_line (mac_address)",
    "CREATE TABLE qnt5200_mac ("
    " mac_address VARCHAR(17) NOT NULL PRIMARY KEY,"
    " run_id VARCHAR(400) NOT NULL)",
    "CREATE TABLE qnt5200_takeover ("
    " taken_run_id VARCHAR(400) NOT NULL PRIMARY KEY,"
    " run_id VARCHAR(400) NOT NULL UNIQUE,"
    " mac_address VARCHAR(17) NOT NULL)",
    "CREATE INDEX qnt5200_takeover_mac ON qnt5200_takeover (mac_address)",
};

constexpr const char* kSerialTable[] = {
    "CREATE TABLE qnt5200_serial ("
    " serial_number VARCHAR(255) NOT NULL PRIMARY KEY,"
    " mac_address VARCHAR(17) NOT NULL,"
    " run_id VARCHAR(400) NOT NULL)",
    "CREATE INDEX qnt5200_serial_mac ON qnt5200_serial (mac_address)",
};

std::string WithTimeType(const char* statement, const RecordEngine& engine) {
  std::string sql = statement;
  const size_t at = sql.find("%T");
  if (at != std::string::npos) sql.replace(at, 2, engine.time_type);
  return sql;
}

// Version 1 kept one row per run, changed by its outcome: it becomes that run's outcome line (or
// its reservation line while it has none), timed by its last change; and the identity's claim
// names the run that held it last.
std::string CopyRunsStatement(const RecordEngine& engine) {
  std::string time_of = engine.time_of;
  time_of.replace(time_of.find('?'), 1, "REPLACE(REPLACE(updated_at, 'T', ' '), 'Z', '')");
  return "INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time, adapter, "
         "chip,"
         " memory, mac_address, serial_number, image_length, crc32, file_name, result, written,"
         " verified, station, duration_ms, error) SELECT run_id, CASE WHEN result = 'reserved'"
         " THEN 'reserve' ELSE 'outcome' END, " +
         time_of +
         ", 0, updated_at, adapter, chip, memory, mac_address, serial_number, image_length,"
         " crc32, file_name, result, written, CASE WHEN written = 'yes' AND result = '0' THEN"
         " 'yes' ELSE 'no' END, station, duration_ms, error FROM qnt5200_run";
}

bool RunAll(Database& database, const std::vector<std::string>& statements) {
  for (const std::string& statement : statements) {
    if (!database.Execute(statement, {})) return false;
  }
  return true;
}

bool InOneTransaction(Database& database, const std::vector<std::string>& statements) {
  if (!database.Begin()) return false;
  if (!RunAll(database, statements) || !database.Commit()) {
    database.Rollback();
    return false;
  }
  return true;
}

}  // namespace

bool IsDatabaseRecord(const std::string& record, std::string* connection) {
  constexpr size_t kPrefixLength = sizeof kDatabaseRecordPrefix - 1;
  if (record.compare(0, kPrefixLength, kDatabaseRecordPrefix) != 0) return false;
  *connection = record.substr(kPrefixLength);
  if (connection->empty()) {
    const char* from_environment = std::getenv(kRecordEnvironment);
    if (from_environment != nullptr) *connection = from_environment;
  }
  return true;
}

SchemaState ReadSchemaState(Database& database, int* version) {
  std::optional<std::string> found;
  if (!database.Query("SELECT version FROM qnt5200_schema", {}, [&](const DatabaseRow& row) {
        found = row.empty() ? std::nullopt : row[0];
        return false;
      })) {
    // The table is missing (42P01 on PostgreSQL, 42S02 elsewhere), or the server failed.
    return database.error().sqlstate.rfind("42", 0) == 0 ? SchemaState::kMissing
                                                         : SchemaState::kError;
  }
  *version = found ? std::atoi(found->c_str()) : 0;
  if (*version == kRecordSchemaVersion) return SchemaState::kCurrent;
  return *version == 1 ? SchemaState::kOlder : SchemaState::kOther;
}

bool CreateRecordSchema(Database& database) {
  const RecordEngine& engine = RecordEngineOf(database.ServerProduct());
  std::vector<std::string> statements = {"CREATE TABLE qnt5200_schema (version INTEGER NOT NULL)"};
  for (const char* statement : kSerialTable) statements.emplace_back(statement);
  for (const char* statement : kVersionTwoStatements) {
    statements.push_back(WithTimeType(statement, engine));
  }
  statements.push_back("INSERT INTO qnt5200_schema (version) VALUES (" +
                       std::to_string(kRecordSchemaVersion) + ")");
  return InOneTransaction(database, statements);
}

bool UpgradeRecordSchema(Database& database) {
  const RecordEngine& engine = RecordEngineOf(database.ServerProduct());
  std::vector<std::string> statements;
  for (const char* statement : kVersionTwoStatements) {
    statements.push_back(WithTimeType(statement, engine));
  }
  statements.push_back(CopyRunsStatement(engine));
  statements.emplace_back(
      "INSERT INTO qnt5200_mac (mac_address, run_id) SELECT mac_address, run_id FROM"
      " qnt5200_identity");
  statements.emplace_back("DROP TABLE qnt5200_identity");
  statements.emplace_back("DROP TABLE qnt5200_run");
  statements.push_back("UPDATE qnt5200_schema SET version = " +
                       std::to_string(kRecordSchemaVersion) + " WHERE version = 1");
  return InOneTransaction(database, statements);
}
