// database_record_store.h - the per-board record in a database server: the identities with their
// states, the stepped serial numbers, and one row per run (record_schema.h). Each operation is one
// transaction, and a unique key of the database, not a lock of ours, keeps an identity on one
// board, however many stations and lines share the server.
#pragma once

#include <optional>
#include <string>

#include "platform/database.h"
#include "record/database_run_holding.h"
#include "record/record_store.h"

class DatabaseRecordStore : public RecordStore {
 public:
  // |connection| is the ODBC connection string (without "odbc:").
  DatabaseRecordStore(std::string connection, Console& console);

  // "the record database SERVER" (never the password).
  std::string Describe() const override;
  // Connects, and checks that the tables are there in this program's form.
  RecordStatus Open() override;
  RecordStatus MayHoldUnfinished(bool* may) override;
  RecordStatus LookUp(const std::string& mac_address, const std::string& serial_number,
                      RecordKnowledge* knowledge) override;
  // INSERTs the identity, its serial number and the run's row and commits them; a unique key
  // that refuses one (SQLSTATE class 23) is rolled back and answered with its holder. When the
  // COMMIT's reply is lost, the database is asked again by the run's key: kDone when it holds
  // the reservation, kFailed when not, kUnknown when it cannot tell in time.
  RecordStatus Reserve(const RecordReservation& reservation, IdentityOwner* owner) override;
  // UPDATEs the identity's state and the run's row in a second transaction; a run that reserved
  // nothing gets its row now. A lost COMMIT's reply is resolved by asking again, and the message
  // of a failure says what the database holds.
  RecordStatus RecordOutcome(const BoardRecordLine& outcome) override;

  Database& database() { return database_; }

 private:
  enum class Found { kNone, kHeld, kError };
  Found FindOwner(const char* query, const std::string& key, IdentityOwner* owner);
  bool TakeOver(const BoardRecordLine& line, bool* taken);
  bool InsertIdentity(const RecordReservation& reservation, bool* taken);
  bool UpdateOutcome(const BoardRecordLine& outcome, bool* committing);
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
  std::string run_id_;  // made by Reserve, or by a RecordOutcome without one
  bool reserved_ = false;
  std::optional<LookedUp> looked_up_;
};
