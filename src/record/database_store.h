// database_store.h - the per-board record in a database server: the identities and their states,
// the stepped serial numbers, and one row per run. Every change is one transaction; a unique key
// of the database, not a lock of ours, keeps an identity on one board.
#pragma once

#include <cstdint>
#include <string>

#include "format/board_record.h"
#include "platform/console.h"
#include "platform/database.h"

// Who holds an identity, as the database tells it.
struct IdentityOwner {
  std::string mac_address;
  std::string serial_number;
  std::string state;  // kIdentityReserved, kIdentityFailed or kIdentityProgrammed
  std::string station;
  uint32_t adapter = 0;
  std::string reserved_at;
  std::string run_id;
};

class DatabaseStore {
 public:
  // |connection| is the ODBC connection string (without "odbc:").
  explicit DatabaseStore(std::string connection);

  // Connects and checks the tables' version. False after a message naming the server and the
  // driver's own words (never the password).
  bool Open(Console& console);

  enum class Found { kNone, kHeld, kError };
  // The holder of |mac_address|, or of |serial_number| when given (a serial number the INI file
  // does not step is the same on every board and is passed as "").
  Found FindOwner(const std::string& mac_address, const std::string& serial_number,
                  IdentityOwner* owner);
  // True when some identity is reserved or failed: a board may hold one and be reworked.
  Found FindOpenIdentities();

  enum class Reserved { kReserved, kHeld, kFailed };
  // The reservation, one transaction: the identity (state reserved), its serial number when
  // |serial_counts|, and the run's row. A conflict is rolled back and answered kHeld with the
  // holder in |*owner|. |rework|: the board holds the identity already (reserved or failed by an
  // earlier run), which is taken over instead.
  Reserved Reserve(const std::string& run_id, const BoardRecordLine& line, bool serial_counts,
                   bool rework, IdentityOwner* owner);
  // The outcome, a second transaction: the identity's state and the run's row. |reserved|: the
  // run reserved an identity (else its row is inserted now).
  bool RecordOutcome(const std::string& run_id, const BoardRecordLine& line, bool reserved);
  // Undoes a reservation whose identity reached no board: the identity and serial rows this run
  // inserted, and only those.
  bool GiveBack(const std::string& run_id, const BoardRecordLine& line);

  const DatabaseError& error() const { return database_.error(); }
  // The server, for messages.
  std::string server() const { return ConnectionServer(connection_); }
  Database& database() { return database_; }

 private:
  bool InsertRun(const std::string& run_id, const BoardRecordLine& line);
  bool Abandon();

  std::string connection_;
  Database database_;
};

// A run's key: its station, adapter and start time, and a random number that tells apart two
// runs started in the same second.
std::string NewRunId(const BoardRecordLine& line);
