// record_schema.h - the tables of the per-board record in a database server, in SQL that
// PostgreSQL, SQL Server and MySQL all take: no generated keys, no upsert, times as ISO 8601 UTC
// text, and the stepped serial numbers in a table of their own (a nullable unique column is not
// the same thing everywhere).
#pragma once

#include <string>

#include "platform/database.h"

// The version init records in qnt5200_schema; a later form of the tables gets a new number and
// a migration from this one.
constexpr int kRecordSchemaVersion = 1;

// The states of an identity in qnt5200_identity.state.
constexpr char kIdentityReserved[] = "reserved";      // set aside; its run has told no outcome
constexpr char kIdentityFailed[] = "failed";          // sent to a board whose run failed
constexpr char kIdentityProgrammed[] = "programmed";  // on a board whose run succeeded

// The prefix of a record that is a database: "odbc:" and an ODBC connection string.
constexpr char kDatabaseRecordPrefix[] = "odbc:";

// The environment variable that holds the connection string of the record "odbc:", so that a
// password need not be written on a command line.
constexpr char kRecordEnvironment[] = "QNT5200_RECORD";

// True when |record| names a database record; |*connection| is then its connection string (the
// one in QNT5200_RECORD when |record| is "odbc:" alone).
bool IsDatabaseRecord(const std::string& record, std::string* connection);

enum class SchemaState { kMissing, kCurrent, kOther, kError };

// Whether the tables are there and in this program's form; |*version| when they are not.
SchemaState ReadSchemaState(Database& database, int* version);

// Creates the tables in one transaction and records kRecordSchemaVersion. False (rolled back)
// when any of it failed, also when the tables are there already.
bool CreateRecordSchema(Database& database);
