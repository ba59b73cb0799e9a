// database_record_store.h - the per-board record in a database server (record_schema.h): a run
// only adds rows, its reservation in one transaction and its outcome in another, and a unique key
// of the database, not a lock of ours, keeps an identity on one board, however many stations and
// lines share the server. Every row a run adds carries its run key.
#pragma once

#include <optional>
#include <string>

#include "platform/database.h"
#include "record/database_run_holding.h"
#include "record/record_store.h"

// What messages call the database |connection| reaches: "the record database DSN line1", "the
// record database qnt5200 on db1:5432", or "the record database of the connection string in
// QNT5200_RECORD"; never the connection string, never a password.
std::string RecordDatabaseName(const std::string& connection);

class DatabaseRecordStore : public RecordStore {
 public:
  // |connection| is the ODBC connection string (without "odbc:").
  DatabaseRecordStore(std::string connection, Console& console);

  // RecordDatabaseName of its connection.
  std::string Describe() const override;
  // Connects, and checks that the tables are there in this program's form.
  RecordStatus Open() override;
  RecordStatus MayHoldUnfinished(bool* may) override;
  RecordStatus LookUp(const std::string& mac_address, const std::string& serial_number,
                      RecordKnowledge* knowledge) override;
  // INSERTs the claim of the identity (or a rework's takeover of the run that holds it), its
  // serial number and the run's reservation line and commits them; a unique key that refuses one
  // (SQLSTATE class 23) is rolled back and answered with its holder. When the COMMIT's reply is
  // lost, the database is asked again by the run's key: kDone when it holds the reservation,
  // kFailed when not, kUnknown when it cannot tell in time.
  RecordStatus Reserve(const RecordReservation& reservation, IdentityOwner* owner) override;
  // INSERTs the run's outcome line. A lost reply is resolved by asking again, and the message of
  // a failure says what the database holds.
  RecordStatus RecordOutcome(const BoardRecordLine& outcome) override;

  Database& database() { return database_; }

 private:
  bool ReadOwner(const std::string& mac_address, const std::string& serial_number,
                 RecordKnowledge* knowledge);
  bool TakeOver(const BoardRecordLine& line, bool* taken);
  bool InsertIdentity(const RecordReservation& reservation);
  bool InsertLine(const char* kind, const BoardRecordLine& line);
  RecordStatus Fail(const char* doing);
  RecordStatus ResolveReservation(const DatabaseError& lost);
  RecordStatus ResolveOutcome(const BoardRecordLine& outcome, const DatabaseError& lost);
  // Reads what the database holds of this run, on this connection or, when it is gone, on a
  // new one; false when it cannot be learnt within the deadlines.
  bool AskAgain(RunHolding* holding);

  // The last answer of LookUp, kept until the run writes.
  struct LookedUp {
    std::string mac_address;
    std::string serial_number;
    RecordKnowledge knowledge;
  };

  std::string connection_;
  Console& console_;
  Database database_;
  DatabaseTimeouts timeouts_;
  std::string now_;     // the server's UTC time in this engine's words
  std::string run_id_;  // made by Reserve, or by a RecordOutcome without one
  bool reserved_ = false;
  std::optional<LookedUp> looked_up_;
};
