// record_schema.cpp - creating the record's tables and telling their version.
#include "record/record_schema.h"

#include <cstdlib>
#include <optional>

namespace {

// A run's key is made by the client (station, adapter, time and a random number), so that no
// server needs to generate one.
constexpr const char* kCreateStatements[] = {
    "CREATE TABLE qnt5200_schema (version INTEGER NOT NULL)",
    "CREATE TABLE qnt5200_identity ("
    " mac_address VARCHAR(17) NOT NULL PRIMARY KEY,"
    " state VARCHAR(12) NOT NULL,"
    " run_id VARCHAR(400) NOT NULL,"
    " station VARCHAR(255) NOT NULL,"
    " adapter INTEGER NOT NULL,"
    " reserved_at VARCHAR(20) NOT NULL,"
    " updated_at VARCHAR(20) NOT NULL)",
    "CREATE INDEX qnt5200_identity_state ON qnt5200_identity (state)",
    "CREATE TABLE qnt5200_serial ("
    " serial_number VARCHAR(255) NOT NULL PRIMARY KEY,"
    " mac_address VARCHAR(17) NOT NULL,"
    " run_id VARCHAR(400) NOT NULL)",
    "CREATE INDEX qnt5200_serial_mac ON qnt5200_serial (mac_address)",
    "CREATE TABLE qnt5200_run ("
    " run_id VARCHAR(400) NOT NULL PRIMARY KEY,"
    " started_at VARCHAR(20) NOT NULL,"
    " updated_at VARCHAR(20) NOT NULL,"
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
    " station VARCHAR(255) NOT NULL,"
    " duration_ms BIGINT NOT NULL,"
    " error VARCHAR(4000) NOT NULL)",
    "CREATE INDEX qnt5200_run_mac ON qnt5200_run (mac_address)",
    "CREATE INDEX qnt5200_run_station ON qnt5200_run (station, started_at)",
};

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
  return *version == kRecordSchemaVersion ? SchemaState::kCurrent : SchemaState::kOther;
}

bool CreateRecordSchema(Database& database) {
  if (!database.Begin()) return false;
  for (const char* statement : kCreateStatements) {
    if (!database.Execute(statement, {})) {
      database.Rollback();
      return false;
    }
  }
  if (!database.Execute("INSERT INTO qnt5200_schema (version) VALUES (?)",
                        {DatabaseValue::Number(kRecordSchemaVersion)}) ||
      !database.Commit()) {
    database.Rollback();
    return false;
  }
  return true;
}
