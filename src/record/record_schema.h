// record_schema.h - the tables of the per-board record in a database server, in SQL that
// PostgreSQL, MariaDB/MySQL and SQL Server all take: no generated keys, no upsert, and the
// stepped serial numbers in a table of their own (a nullable unique column is not the same thing
// everywhere). What differs between engines is in record_engine.h.
//
// Stations only add rows (their login may INSERT and SELECT, nothing else):
//   qnt5200_line      every line of the record: a run's reservation (kind "reserve") and its
//                     outcome (kind "outcome"; a run that reserved nothing has this row alone),
//                     each unique per run, with the server's time of the transaction
//   qnt5200_mac       the claim of a MAC address by the run that first reserved it (unique)
//   qnt5200_serial    the claim of a stepped serial number (unique)
//   qnt5200_takeover  a rework: the run that takes an identity over from the run named (unique,
//                     so two reworks cannot both take over one run)
// An identity's state is read from these rows (record_identity.h); none of them is ever changed.
#pragma once

#include <string>

#include "platform/database.h"

// The version init records in qnt5200_schema; init upgrades the tables of an older one.
constexpr int kRecordSchemaVersion = 2;

// The kinds of qnt5200_line rows.
constexpr char kLineReserve[] = "reserve";
constexpr char kLineOutcome[] = "outcome";

// The prefix of a record that is a database: "odbc:" and an ODBC connection string.
constexpr char kDatabaseRecordPrefix[] = "odbc:";

// The environment variable that holds the connection string of the record "odbc:", so that a
// password need not be written on a command line.
constexpr char kRecordEnvironment[] = "QNT5200_RECORD";

// True when |record| names a database record; |*connection| is then its connection string (the
// one in QNT5200_RECORD when |record| is "odbc:" alone).
bool IsDatabaseRecord(const std::string& record, std::string* connection);

enum class SchemaState {
  kMissing,
  kCurrent,
  kOlder,  // the tables of an earlier version: init (as the owner) upgrades them
  kOther,  // a version this program does not know
  kError,
};

// Whether the tables are there and in this program's form; |*version| when they are not.
SchemaState ReadSchemaState(Database& database, int* version);

// Creates the tables in one transaction and records kRecordSchemaVersion. False (rolled back)
// when any of it failed, also when the tables are there already.
bool CreateRecordSchema(Database& database);

// Brings the tables of version 1 to this version, every row kept, in one transaction where the
// engine takes its changes of tables in one (PostgreSQL, SQL Server). False when any of it failed
// (a station's login may not).
bool UpgradeRecordSchema(Database& database);
