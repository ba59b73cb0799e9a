// database_record_store.cpp - the transactions of the database record. After an error inside a
// transaction the server takes nothing but ROLLBACK, so every failure rolls back first and asks
// its questions (who holds the identity) afterwards, in statements of their own.
#include "record/database_record_store.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include "record/database_deadlines.h"
#include "record/record_engine.h"
#include "record/record_identity.h"
#include "record/record_schema.h"

namespace {

std::string CrcText(uint32_t crc) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

// A run's key: its station, adapter and start time, and a random number that tells apart two
// runs started in the same second. It orders nothing: the server's time does.
std::string NewRunId(const BoardRecordLine& line) {
  std::random_device random;
  char number[24];
  std::snprintf(number, sizeof number, "%08x%08x", random(), random());
  return line.station + "|" + std::to_string(line.adapter) + "|" + line.time + "|" + number;
}

}  // namespace

DatabaseRecordStore::DatabaseRecordStore(std::string connection, Console& console)
    : connection_(std::move(connection)), console_(console), timeouts_(RecordDeadlines()) {}

std::string RecordDatabaseName(const std::string& connection) {
  const std::string name = ConnectionServer(connection);
  return name == kConnectionInEnvironment ? "the record database of " + name
                                          : "the record database " + name;
}

std::string DatabaseRecordStore::Describe() const { return RecordDatabaseName(connection_); }

RecordStatus DatabaseRecordStore::Fail(const char* doing) {
  console_.Error("Couldn't %s %s: %s\n", doing, Describe().c_str(),
                 database_.error().Text().c_str());
  return RecordStatus::kFailed;
}

RecordStatus DatabaseRecordStore::Open() {
  if (!database_.Connect(connection_, timeouts_)) return Fail("reach");
  now_ = RecordEngineOf(database_.ServerProduct()).now;
  int version = 0;
  switch (ReadSchemaState(database_, &version)) {
    case SchemaState::kCurrent:
      return RecordStatus::kDone;
    case SchemaState::kMissing:
      console_.Error(
          "%s holds no record tables; create them with \"qnt5200-record init odbc:...\"\n",
          Describe().c_str());
      return RecordStatus::kFailed;
    case SchemaState::kOlder:
      console_.Error(
          "%s has tables of version %d; upgrade them with \"qnt5200-record init odbc:...\" "
          "as the database's owner\n",
          Describe().c_str(), version);
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

// No row is ever changed, so no index tells the unfinished identities apart from the programmed
// ones without reading them all: the board is read instead, which costs the same for every run
// however many boards the record holds.
RecordStatus DatabaseRecordStore::MayHoldUnfinished(bool* may) {
  *may = true;
  return RecordStatus::kDone;
}

bool DatabaseRecordStore::ReadOwner(const std::string& mac_address,
                                    const std::string& serial_number, RecordKnowledge* knowledge) {
  *knowledge = {};
  std::string last_run;
  const bool read =
      (mac_address.empty() ||
       ReadMacIdentity(database_, mac_address, &knowledge->mac, &last_run)) &&
      (serial_number.empty() || ReadSerialIdentity(database_, serial_number, &knowledge->serial));
  knowledge->mac.where = Describe();
  knowledge->serial.where = Describe();
  return read;
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
  if (!ReadOwner(mac_address, serial_number, knowledge)) return Fail("read");
  looked_up_ = LookedUp{mac_address, serial_number, *knowledge};
  return RecordStatus::kDone;
}

// Takes over the identity the board holds from the run that holds it last, while no run of its
// chain has programmed it; the unique key on the run taken over lets one rework alone do so.
bool DatabaseRecordStore::TakeOver(const BoardRecordLine& line, bool* taken) {
  IdentityOwner owner;
  std::string last_run;
  if (!ReadMacIdentity(database_, line.mac_address, &owner, &last_run)) return false;
  if (owner.state == IdentityState::kFree || owner.state == IdentityState::kProgrammed) {
    *taken = true;
    return false;
  }
  return database_.Execute(
      "INSERT INTO qnt5200_takeover (taken_run_id, run_id, mac_address) VALUES (?, ?, ?)",
      {DatabaseValue::Text(last_run), DatabaseValue::Text(run_id_),
       DatabaseValue::Text(line.mac_address)});
}

bool DatabaseRecordStore::InsertIdentity(const RecordReservation& reservation) {
  const BoardRecordLine& line = reservation.line;
  return (line.mac_address.empty() ||
          database_.Execute(
              "INSERT INTO qnt5200_mac (mac_address, run_id) VALUES (?, ?)",
              {DatabaseValue::Text(line.mac_address), DatabaseValue::Text(run_id_)})) &&
         (!reservation.serial_counts || line.serial_number.empty() ||
          database_.Execute(
              "INSERT INTO qnt5200_serial (serial_number, mac_address, run_id) VALUES (?, ?, ?)",
              {DatabaseValue::Text(line.serial_number), DatabaseValue::Text(line.mac_address),
               DatabaseValue::Text(run_id_)}));
}

// One line of the record, timed by the server: the readers order lines by that time.
bool DatabaseRecordStore::InsertLine(const char* kind, const BoardRecordLine& given) {
  // The line says what it is, as the file record's lines do.
  BoardRecordLine line = given;
  line.reserved = std::string(kind) == kLineReserve;
  return database_.Execute(
      "INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time, adapter, chip,"
      " memory, mac_address, serial_number, image_length, crc32, file_name, result, written,"
      " verified, station, duration_ms, error) VALUES (?, ?, " +
          now_ + ", 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {DatabaseValue::Text(run_id_), DatabaseValue::Text(kind), DatabaseValue::Text(line.time),
       DatabaseValue::Number(line.adapter), DatabaseValue::Text(line.chip),
       DatabaseValue::Text(line.memory), DatabaseValue::Text(line.mac_address),
       DatabaseValue::Text(line.serial_number), DatabaseValue::Number(line.image_length),
       DatabaseValue::Text(CrcText(line.crc32)), DatabaseValue::Text(line.file),
       DatabaseValue::Text(RecordResultText(line)), DatabaseValue::Text(RecordWrittenText(line)),
       DatabaseValue::Text(line.verified ? "yes" : "no"), DatabaseValue::Text(line.station),
       DatabaseValue::Number(line.duration_ms), DatabaseValue::Text(line.error)});
}

RecordStatus DatabaseRecordStore::Reserve(const RecordReservation& reservation,
                                          IdentityOwner* owner) {
  const BoardRecordLine& line = reservation.line;
  looked_up_.reset();
  run_id_ = NewRunId(line);
  if (!database_.Begin()) return Fail("write");
  bool taken = false;
  bool committing = false;
  const bool done = (reservation.rework ? TakeOver(line, &taken) : InsertIdentity(reservation)) &&
                    InsertLine(kLineReserve, line) && (committing = true, database_.Commit());
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
  RecordKnowledge knowledge;
  if (!ReadOwner(line.mac_address, reservation.serial_counts ? line.serial_number : "",
                 &knowledge)) {
    return Fail("read");
  }
  *owner = knowledge.mac.state != IdentityState::kFree ? knowledge.mac : knowledge.serial;
  return RecordStatus::kConflict;
}

// The outcome line goes in a transaction of its own, so that a failure before its COMMIT is known
// to have left nothing, and only a COMMIT's lost reply needs the database asked.
RecordStatus DatabaseRecordStore::RecordOutcome(const BoardRecordLine& outcome) {
  if (!database_.connected()) return RecordStatus::kFailed;  // Open said why
  looked_up_.reset();
  if (!reserved_) run_id_ = NewRunId(outcome);
  bool committing = false;
  if (database_.Begin() && InsertLine(kLineOutcome, outcome) &&
      (committing = true, database_.Commit())) {
    return RecordStatus::kDone;
  }
  const DatabaseError failed = database_.error();
  database_.Rollback();
  if (committing) return ResolveOutcome(outcome, failed);
  if (!reserved_) return Fail("write the outcome to");
  console_.Error(
      "Couldn't write the outcome to %s: %s; the identity stays reserved for this "
      "board\n",
      Describe().c_str(), failed.Text().c_str());
  return RecordStatus::kFailed;
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
  if (holding.reserved) {
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
const char* HeldText(IdentityState state) {
  switch (state) {
    case IdentityState::kReserved:
      return "the identity stays reserved for this board";
    case IdentityState::kWritten:
    case IdentityState::kFailed:
      return "it holds the identity as failed on this board";
    case IdentityState::kProgrammed:
      return "it holds the identity as programmed on this board";
    case IdentityState::kFree:
    case IdentityState::kDamaged:
      break;
  }
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
  if (holding.outcome && holding.result == RecordResultText(outcome)) {
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
  IdentityOwner held;
  std::string last_run;
  if (!ReadMacIdentity(database_, outcome.mac_address, &held, &last_run)) {
    held.state = IdentityState::kReserved;  // the reservation is there, whatever followed it
  }
  console_.Error("Couldn't write the outcome to %s: %s; %s\n", Describe().c_str(),
                 lost.Text().c_str(), HeldText(held.state));
  return RecordStatus::kFailed;
}
