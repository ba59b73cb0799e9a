// database_store.cpp - the transactions of the database record. After an error inside a
// transaction the server takes nothing but ROLLBACK, so every failure rolls back first and asks
// its questions afterwards.
#include "record/database_store.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include "record/record_schema.h"

namespace {

constexpr char kInsertRun[] =
    "INSERT INTO qnt5200_run (run_id, started_at, updated_at, adapter, chip, memory, mac_address,"
    " serial_number, image_length, crc32, file_name, result, written, station, duration_ms, error)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// A run's key and started_at are the first line of it that reaches the database.
std::vector<DatabaseValue> RunValues(const std::string& run_id, const BoardRecordLine& line) {
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(line.crc32));
  return {DatabaseValue::Text(run_id),
          DatabaseValue::Text(line.time),
          DatabaseValue::Text(line.time),
          DatabaseValue::Number(line.adapter),
          DatabaseValue::Text(line.chip),
          DatabaseValue::Text(line.memory),
          DatabaseValue::Text(line.mac_address),
          DatabaseValue::Text(line.serial_number),
          DatabaseValue::Number(line.image_length),
          DatabaseValue::Text(crc),
          DatabaseValue::Text(line.file),
          DatabaseValue::Text(RecordResultText(line)),
          DatabaseValue::Text(RecordWrittenText(line)),
          DatabaseValue::Text(line.station),
          DatabaseValue::Number(line.duration_ms),
          DatabaseValue::Text(line.error)};
}

const char* StateOf(const BoardRecordLine& line) {
  if (!line.written) return kIdentityReserved;
  return line.result == 0 ? kIdentityProgrammed : kIdentityFailed;
}

}  // namespace

std::string NewRunId(const BoardRecordLine& line) {
  std::random_device random;
  char number[24];
  std::snprintf(number, sizeof number, "%08x%08x", random(), random());
  return line.station + "|" + std::to_string(line.adapter) + "|" + line.time + "|" + number;
}

DatabaseStore::DatabaseStore(std::string connection) : connection_(std::move(connection)) {}

bool DatabaseStore::Open(Console& console) {
  if (!database_.Connect(connection_, DatabaseTimeouts{})) {
    console.Error("Couldn't reach the record database %s: %s\n", server().c_str(),
                  error().Text().c_str());
    return false;
  }
  int version = 0;
  switch (ReadSchemaState(database_, &version)) {
    case SchemaState::kCurrent:
      return true;
    case SchemaState::kMissing:
      console.Error(
          "The record database %s holds no record tables; create them with \"qnt5200-record "
          "init odbc:...\"\n",
          server().c_str());
      return false;
    case SchemaState::kOther:
      console.Error("The record database %s has tables of version %d; this program knows %d\n",
                    server().c_str(), version, kRecordSchemaVersion);
      return false;
    case SchemaState::kError:
      break;
  }
  console.Error("Couldn't read the record database %s: %s\n", server().c_str(),
                error().Text().c_str());
  return false;
}

DatabaseStore::Found DatabaseStore::FindOwner(const std::string& mac_address,
                                              const std::string& serial_number,
                                              IdentityOwner* owner) {
  constexpr char kByMac[] =
      "SELECT mac_address, serial_number, state, station, adapter, reserved_at, run_id"
      " FROM qnt5200_identity WHERE mac_address = ?";
  constexpr char kBySerial[] =
      "SELECT i.mac_address, s.serial_number, i.state, i.station, i.adapter, i.reserved_at,"
      " s.run_id FROM qnt5200_serial s LEFT JOIN qnt5200_identity i"
      " ON i.mac_address = s.mac_address WHERE s.serial_number = ?";
  bool found = false;
  const auto take = [&](const DatabaseRow& row) {
    const auto text = [&](size_t column) { return row[column].value_or(""); };
    *owner = {.mac_address = text(0),
              .serial_number = text(1),
              .state = text(2),
              .station = text(3),
              .adapter = static_cast<uint32_t>(std::strtoul(text(4).c_str(), nullptr, 10)),
              .reserved_at = text(5),
              .run_id = text(6)};
    found = true;
    return false;
  };
  if (!mac_address.empty() && !database_.Query(kByMac, {DatabaseValue::Text(mac_address)}, take)) {
    return Found::kError;
  }
  if (!found && !serial_number.empty() &&
      !database_.Query(kBySerial, {DatabaseValue::Text(serial_number)}, take)) {
    return Found::kError;
  }
  return found ? Found::kHeld : Found::kNone;
}

DatabaseStore::Found DatabaseStore::FindOpenIdentities() {
  bool open = false;
  if (!database_.Query("SELECT COUNT(*) FROM qnt5200_identity WHERE state IN (?, ?)",
                       {DatabaseValue::Text(kIdentityReserved), DatabaseValue::Text(kIdentityFailed)},
                       [&](const DatabaseRow& row) {
                         open = row[0] && std::atol(row[0]->c_str()) > 0;
                         return false;
                       })) {
    return Found::kError;
  }
  return open ? Found::kHeld : Found::kNone;
}

bool DatabaseStore::Abandon() {
  database_.Rollback();
  return false;
}

bool DatabaseStore::InsertRun(const std::string& run_id, const BoardRecordLine& line) {
  return database_.Execute(kInsertRun, RunValues(run_id, line));
}

DatabaseStore::Reserved DatabaseStore::Reserve(const std::string& run_id,
                                               const BoardRecordLine& line, bool serial_counts,
                                               bool rework, IdentityOwner* owner) {
  if (!database_.Begin()) return Reserved::kFailed;
  const std::string& mac = line.mac_address;
  const std::string serial = serial_counts ? line.serial_number : "";
  bool done = true;
  bool taken = false;  // someone else holds it
  if (rework) {
    // Taken over only while no run has programmed it since.
    int64_t rows = 0;
    done = database_.Execute(
        "UPDATE qnt5200_identity SET state = ?, run_id = ?, station = ?, adapter = ?,"
        " updated_at = ? WHERE mac_address = ? AND state <> ?",
        {DatabaseValue::Text(kIdentityReserved), DatabaseValue::Text(run_id),
         DatabaseValue::Text(line.station), DatabaseValue::Number(line.adapter),
         DatabaseValue::Text(line.time), DatabaseValue::Text(mac),
         DatabaseValue::Text(kIdentityProgrammed)},
        &rows);
    taken = done && rows != 1;
  } else {
    if (!mac.empty()) {
      done = database_.Execute(
          "INSERT INTO qnt5200_identity (mac_address, serial_number, state, run_id, station,"
          " adapter, reserved_at, updated_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
          {DatabaseValue::Text(mac), DatabaseValue::Text(line.serial_number),
           DatabaseValue::Text(kIdentityReserved), DatabaseValue::Text(run_id),
           DatabaseValue::Text(line.station), DatabaseValue::Number(line.adapter),
           DatabaseValue::Text(line.time), DatabaseValue::Text(line.time)});
    }
    if (done && !serial.empty()) {
      done = database_.Execute(
          "INSERT INTO qnt5200_serial (serial_number, mac_address, run_id) VALUES (?, ?, ?)",
          {DatabaseValue::Text(serial), DatabaseValue::Text(mac), DatabaseValue::Text(run_id)});
    }
    taken = !done && error().Conflict();
  }
  if (done && !taken && InsertRun(run_id, line) && database_.Commit()) return Reserved::kReserved;
  if (!taken) taken = error().Conflict();
  database_.Rollback();
  if (!taken) return Reserved::kFailed;
  return FindOwner(mac, serial, owner) == Found::kHeld ? Reserved::kHeld : Reserved::kFailed;
}

bool DatabaseStore::RecordOutcome(const std::string& run_id, const BoardRecordLine& line,
                                  bool reserved) {
  if (!reserved) return InsertRun(run_id, line);
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(line.crc32));
  if (!database_.Begin()) return false;
  const bool done =
      database_.Execute(
          "UPDATE qnt5200_identity SET state = ?, updated_at = ? WHERE mac_address = ? AND"
          " run_id = ?",
          {DatabaseValue::Text(StateOf(line)), DatabaseValue::Text(line.time),
           DatabaseValue::Text(line.mac_address), DatabaseValue::Text(run_id)}) &&
      database_.Execute(
          "UPDATE qnt5200_run SET updated_at = ?, image_length = ?, crc32 = ?, result = ?,"
          " written = ?, duration_ms = ?, error = ? WHERE run_id = ?",
          {DatabaseValue::Text(line.time), DatabaseValue::Number(line.image_length),
           DatabaseValue::Text(crc), DatabaseValue::Text(RecordResultText(line)),
           DatabaseValue::Text(RecordWrittenText(line)), DatabaseValue::Number(line.duration_ms),
           DatabaseValue::Text(line.error), DatabaseValue::Text(run_id)}) &&
      database_.Commit();
  return done || Abandon();
}

bool DatabaseStore::GiveBack(const std::string& run_id, const BoardRecordLine& line) {
  if (!database_.Begin()) return false;
  const bool done =
      database_.Execute("DELETE FROM qnt5200_serial WHERE serial_number = ? AND run_id = ?",
                        {DatabaseValue::Text(line.serial_number), DatabaseValue::Text(run_id)}) &&
      database_.Execute(
          "DELETE FROM qnt5200_identity WHERE mac_address = ? AND run_id = ? AND state = ?",
          {DatabaseValue::Text(line.mac_address), DatabaseValue::Text(run_id),
           DatabaseValue::Text(kIdentityReserved)}) &&
      database_.Execute(
          "UPDATE qnt5200_run SET updated_at = ?, result = ?, written = ?, duration_ms = ?,"
          " error = ? WHERE run_id = ?",
          {DatabaseValue::Text(line.time), DatabaseValue::Text(RecordResultText(line)),
           DatabaseValue::Text(RecordWrittenText(line)), DatabaseValue::Number(line.duration_ms),
           DatabaseValue::Text(line.error), DatabaseValue::Text(run_id)}) &&
      database_.Commit();
  return done || Abandon();
}
