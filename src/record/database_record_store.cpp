// database_record_store.cpp - the transactions of the database record. After an error inside a
// transaction the server takes nothing but ROLLBACK, so every failure rolls back first and asks
// its questions (who holds the identity) afterwards, in statements of their own.
#include "record/database_record_store.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include "record/database_deadlines.h"
#include "record/record_schema.h"

namespace {

constexpr char kInsertRun[] =
    "INSERT INTO qnt5200_run (run_id, started_at, updated_at, adapter, chip, memory, mac_address,"
    " serial_number, image_length, crc32, file_name, result, written, station, duration_ms, error)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr char kOwnerColumns[] =
    "SELECT i.mac_address, s.serial_number, i.state, i.station, i.adapter, i.updated_at";
constexpr char kOwnerOfMac[] =
    " FROM qnt5200_identity i LEFT JOIN qnt5200_serial s ON s.mac_address = i.mac_address"
    " WHERE i.mac_address = ?";
// A serial number without a MAC address beside it counts as reserved.
constexpr char kOwnerOfSerial[] =
    " FROM qnt5200_serial s LEFT JOIN qnt5200_identity i ON i.mac_address = s.mac_address"
    " WHERE s.serial_number = ?";

std::string CrcText(uint32_t crc) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

// The run's row; started_at and updated_at are the time of its first transaction.
std::vector<DatabaseValue> RunValues(const std::string& run_id, const BoardRecordLine& line) {
  return {DatabaseValue::Text(run_id),
          DatabaseValue::Text(line.time),
          DatabaseValue::Text(line.time),
          DatabaseValue::Number(line.adapter),
          DatabaseValue::Text(line.chip),
          DatabaseValue::Text(line.memory),
          DatabaseValue::Text(line.mac_address),
          DatabaseValue::Text(line.serial_number),
          DatabaseValue::Number(line.image_length),
          DatabaseValue::Text(CrcText(line.crc32)),
          DatabaseValue::Text(line.file),
          DatabaseValue::Text(RecordResultText(line)),
          DatabaseValue::Text(RecordWrittenText(line)),
          DatabaseValue::Text(line.station),
          DatabaseValue::Number(line.duration_ms),
          DatabaseValue::Text(line.error)};
}

IdentityState StateNamed(const std::string& state) {
  if (state == kIdentityProgrammed) return IdentityState::kProgrammed;
  if (state == kIdentityFailed) return IdentityState::kFailed;
  return IdentityState::kReserved;
}

const char* StateOf(const BoardRecordLine& outcome) {
  // The board given the last identity of its range was programmed, though its run ends with 10.
  return outcome.verified || outcome.result == 0 ? kIdentityProgrammed : kIdentityFailed;
}

// A run's key: its station, adapter and start time, and a random number that tells apart two
// runs started in the same second.
std::string NewRunId(const BoardRecordLine& line) {
  std::random_device random;
  char number[24];
  std::snprintf(number, sizeof number, "%08x%08x", random(), random());
  return line.station + "|" + std::to_string(line.adapter) + "|" + line.time + "|" + number;
}

}  // namespace

DatabaseRecordStore::DatabaseRecordStore(std::string connection, Console& console)
    : connection_(std::move(connection)), console_(console), timeouts_(RecordDeadlines()) {}

std::string DatabaseRecordStore::Describe() const {
  return "the record database " + ConnectionServer(connection_);
}

RecordStatus DatabaseRecordStore::Fail(const char* doing) {
  console_.Error("Couldn't %s %s: %s\n", doing, Describe().c_str(),
                 database_.error().Text().c_str());
  return RecordStatus::kFailed;
}

RecordStatus DatabaseRecordStore::Open() {
  if (!database_.Connect(connection_, timeouts_)) return Fail("reach");
  int version = 0;
  switch (ReadSchemaState(database_, &version)) {
    case SchemaState::kCurrent:
      return RecordStatus::kDone;
    case SchemaState::kMissing:
      console_.Error(
          "%s holds no record tables; create them with \"qnt5200-record init odbc:...\"\n",
          Describe().c_str());
      return RecordStatus::kFailed;
    case SchemaState::kOther:
      console_.Error("%s has tables of version %d; this program knows version %d\n",
                     Describe().c_str(), version, kRecordSchemaVersion);
      return RecordStatus::kFailed;
    case SchemaState::kError:
      break;
  }
  return Fail("read");
}

// Counted through the index on state: the programmed identities, nearly all of them, are never
// read, so that a run costs the same however many boards the record holds.
RecordStatus DatabaseRecordStore::MayHoldUnfinished(bool* may) {
  *may = false;
  const bool read = database_.Query(
      "SELECT COUNT(*) FROM qnt5200_identity WHERE state IN (?, ?)",
      {DatabaseValue::Text(kIdentityReserved), DatabaseValue::Text(kIdentityFailed)},
      [&](const DatabaseRow& row) {
        *may = row[0] && std::strtoll(row[0]->c_str(), nullptr, 10) > 0;
        return false;
      });
  return read ? RecordStatus::kDone : Fail("read");
}

DatabaseRecordStore::Found DatabaseRecordStore::FindOwner(const char* query, const std::string& key,
                                                          IdentityOwner* owner) {
  bool found = false;
  const auto take = [&](const DatabaseRow& row) {
    const auto text = [&](size_t column) { return row[column].value_or(""); };
    *owner = {.state = StateNamed(text(2)),
              .mac_address = text(0),
              .serial_number = text(1),
              .station = text(3),
              .adapter = static_cast<uint32_t>(std::strtoul(text(4).c_str(), nullptr, 10)),
              .time = text(5),
              .where = Describe()};
    found = true;
    return false;
  };
  if (!database_.Query(std::string(kOwnerColumns) + query, {DatabaseValue::Text(key)}, take)) {
    return Found::kError;
  }
  return found ? Found::kHeld : Found::kNone;
}

// A run asks for the identity it means to give, and again once rework and stepping have settled
// it, most often the same: the second answer costs no exchange with the server. It only refuses
// early; the unique keys of the reservation decide.
RecordStatus DatabaseRecordStore::LookUp(const std::string& mac_address,
                                         const std::string& serial_number,
                                         RecordKnowledge* knowledge) {
  if (looked_up_ && looked_up_->mac_address == mac_address &&
      looked_up_->serial_number == serial_number) {
    *knowledge = looked_up_->knowledge;
    return RecordStatus::kDone;
  }
  *knowledge = {};
  if (!mac_address.empty() &&
      FindOwner(kOwnerOfMac, mac_address, &knowledge->mac) == Found::kError) {
    return Fail("read");
  }
  if (!serial_number.empty() &&
      FindOwner(kOwnerOfSerial, serial_number, &knowledge->serial) == Found::kError) {
    return Fail("read");
  }
  looked_up_ = LookedUp{mac_address, serial_number, *knowledge};
  return RecordStatus::kDone;
}

// Takes over an identity the board holds, while no run has programmed it since.
bool DatabaseRecordStore::TakeOver(const BoardRecordLine& line, bool* taken) {
  int64_t rows = 0;
  const bool done = database_.Execute(
      "UPDATE qnt5200_identity SET state = ?, run_id = ?, station = ?, adapter = ?,"
      " updated_at = ? WHERE mac_address = ? AND state <> ?",
      {DatabaseValue::Text(kIdentityReserved), DatabaseValue::Text(run_id_),
       DatabaseValue::Text(line.station), DatabaseValue::Number(line.adapter),
       DatabaseValue::Text(line.time), DatabaseValue::Text(line.mac_address),
       DatabaseValue::Text(kIdentityProgrammed)},
      &rows);
  *taken = done && rows != 1;
  return done && rows == 1;
}

bool DatabaseRecordStore::InsertIdentity(const RecordReservation& reservation, bool* taken) {
  const BoardRecordLine& line = reservation.line;
  const bool done =
      (line.mac_address.empty() ||
       database_.Execute(
           "INSERT INTO qnt5200_identity (mac_address, state, run_id, station, adapter,"
           " reserved_at, updated_at) VALUES (?, ?, ?, ?, ?, ?, ?)",
           {DatabaseValue::Text(line.mac_address), DatabaseValue::Text(kIdentityReserved),
            DatabaseValue::Text(run_id_), DatabaseValue::Text(line.station),
            DatabaseValue::Number(line.adapter), DatabaseValue::Text(line.time),
            DatabaseValue::Text(line.time)})) &&
      (!reservation.serial_counts || line.serial_number.empty() ||
       database_.Execute(
           "INSERT INTO qnt5200_serial (serial_number, mac_address, run_id) VALUES (?, ?, ?)",
           {DatabaseValue::Text(line.serial_number), DatabaseValue::Text(line.mac_address),
            DatabaseValue::Text(run_id_)}));
  *taken = !done && database_.error().Conflict();
  return done;
}

RecordStatus DatabaseRecordStore::Reserve(const RecordReservation& reservation,
                                          IdentityOwner* owner) {
  const BoardRecordLine& line = reservation.line;
  looked_up_.reset();
  run_id_ = NewRunId(line);
  if (!database_.Begin()) return Fail("write");
  bool taken = false;
  bool committing = false;
  const bool done =
      (reservation.rework ? TakeOver(line, &taken) : InsertIdentity(reservation, &taken)) &&
      database_.Execute(kInsertRun, RunValues(run_id_, line)) &&
      (committing = true, database_.Commit());
  if (done) {
    reserved_ = true;
    return RecordStatus::kDone;
  }
  taken = taken || database_.error().Conflict();
  const DatabaseError failed = database_.error();
  database_.Rollback();
  // Without its COMMIT the transaction is not there; after it, only the database can say.
  if (committing && !taken) return ResolveReservation(failed);
  if (!taken) return Fail("write");
  const Found found = FindOwner(kOwnerOfMac, line.mac_address, owner);
  if (found == Found::kNone && reservation.serial_counts) {
    if (FindOwner(kOwnerOfSerial, line.serial_number, owner) == Found::kError) return Fail("read");
  } else if (found == Found::kError) {
    return Fail("read");
  }
  return RecordStatus::kConflict;
}

bool DatabaseRecordStore::UpdateOutcome(const BoardRecordLine& outcome, bool* committing) {
  return database_.Begin() &&
         database_.Execute(
             "UPDATE qnt5200_identity SET state = ?, updated_at = ? WHERE mac_address = ? AND"
             " run_id = ?",
             {DatabaseValue::Text(StateOf(outcome)), DatabaseValue::Text(outcome.time),
              DatabaseValue::Text(outcome.mac_address), DatabaseValue::Text(run_id_)}) &&
         database_.Execute(
             "UPDATE qnt5200_run SET updated_at = ?, image_length = ?, crc32 = ?, result = ?,"
             " written = ?, duration_ms = ?, error = ? WHERE run_id = ?",
             {DatabaseValue::Text(outcome.time), DatabaseValue::Number(outcome.image_length),
              DatabaseValue::Text(CrcText(outcome.crc32)),
              DatabaseValue::Text(RecordResultText(outcome)),
              DatabaseValue::Text(RecordWrittenText(outcome)),
              DatabaseValue::Number(outcome.duration_ms), DatabaseValue::Text(outcome.error),
              DatabaseValue::Text(run_id_)}) &&
         (*committing = true, database_.Commit());
}

RecordStatus DatabaseRecordStore::RecordOutcome(const BoardRecordLine& outcome) {
  if (!database_.connected()) return RecordStatus::kFailed;  // Open said why
  looked_up_.reset();
  if (reserved_) {
    bool committing = false;
    if (UpdateOutcome(outcome, &committing)) return RecordStatus::kDone;
    const DatabaseError failed = database_.error();
    database_.Rollback();
    if (committing) return ResolveOutcome(outcome, failed);
    console_.Error(
        "Couldn't write the outcome to %s: %s; the identity stays reserved for this "
        "board\n",
        Describe().c_str(), failed.Text().c_str());
    return RecordStatus::kFailed;
  }
  run_id_ = NewRunId(outcome);
  if (database_.Execute(kInsertRun, RunValues(run_id_, outcome))) return RecordStatus::kDone;
  // A statement of its own commits as it runs: its lost reply is resolved as a COMMIT's.
  return ResolveOutcome(outcome, database_.error());
}

bool DatabaseRecordStore::AskAgain(RunHolding* holding) {
  if (ReadRunHolding(database_, run_id_, holding)) return true;
  return database_.Connect(connection_, timeouts_) && ReadRunHolding(database_, run_id_, holding);
}

RecordStatus DatabaseRecordStore::ResolveReservation(const DatabaseError& lost) {
  RunHolding holding;
  if (!AskAgain(&holding)) {
    console_.Error(
        "The reply of %s to the reservation was lost (%s), and it could not be asked whether it "
        "holds the reservation: %s\n",
        Describe().c_str(), lost.Text().c_str(), database_.error().Text().c_str());
    return RecordStatus::kUnknown;
  }
  if (holding.run) {
    reserved_ = true;
    console_.Printf(
        "The reply of %s to the reservation was lost (%s); asked again, it holds the reservation "
        "of this run\n",
        Describe().c_str(), lost.Text().c_str());
    return RecordStatus::kDone;
  }
  console_.Error("Couldn't write %s: %s; asked again, it holds no reservation of this run\n",
                 Describe().c_str(), lost.Text().c_str());
  return RecordStatus::kFailed;
}

namespace {

// What the database holds of the identity, as a failed outcome's message ends.
const char* HeldText(const std::string& state) {
  if (state == kIdentityReserved) return "the identity stays reserved for this board";
  if (state == kIdentityFailed) return "it holds the identity as failed on this board";
  if (state == kIdentityProgrammed) return "it holds the identity as programmed on this board";
  return "it holds no identity of this run";
}

}  // namespace

RecordStatus DatabaseRecordStore::ResolveOutcome(const BoardRecordLine& outcome,
                                                 const DatabaseError& lost) {
  RunHolding holding;
  if (!AskAgain(&holding)) {
    console_.Error(
        "The reply of %s to the outcome was lost (%s), and it could not be asked what it holds: "
        "%s%s\n",
        Describe().c_str(), lost.Text().c_str(), database_.error().Text().c_str(),
        reserved_ ? "; the identity is this board's, whether recorded as programmed, failed or "
                    "still reserved for it"
                  : "");
    return RecordStatus::kFailed;
  }
  if (holding.run && holding.result == RecordResultText(outcome)) {
    console_.Printf(
        "The reply of %s to the outcome was lost (%s); asked again, it holds the outcome\n",
        Describe().c_str(), lost.Text().c_str());
    return RecordStatus::kDone;
  }
  if (!reserved_) {
    console_.Error("Couldn't write the outcome to %s: %s\n", Describe().c_str(),
                   lost.Text().c_str());
    return RecordStatus::kFailed;
  }
  console_.Error("Couldn't write the outcome to %s: %s; %s\n", Describe().c_str(),
                 lost.Text().c_str(), HeldText(holding.identity_state));
  return RecordStatus::kFailed;
}
