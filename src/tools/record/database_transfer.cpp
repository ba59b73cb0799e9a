// database_transfer.cpp - importing a CSV record into the database record and exporting it.
#include "tools/record/database_transfer.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "format/utc_time.h"
#include "record/record_engine.h"
#include "record/record_identity.h"
#include "record/record_order.h"
#include "record/record_schema.h"

namespace {

constexpr int kLinesPerTransaction = 500;

// FNV-1a: a line's key needs no more than to tell lines apart.
uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325;
  for (const char c : text) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3;
  }
  return hash;
}

// The line's time as the engine's time type takes it: "YYYY-MM-DD HH:MM:SS", UTC.
std::string SqlTimeOf(const BoardRecordLine& line) {
  int64_t seconds = 0;
  std::string text = ParseUtcTime(line.time, &seconds) ? UtcTimeText(seconds) : line.time;
  if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
  if (!text.empty() && text.back() == 'Z') text.pop_back();
  return text;
}

bool Count(Database& database, const char* sql, const std::string& key, int64_t* count) {
  return database.Query(sql, {DatabaseValue::Text(key)}, [&](const DatabaseRow& row) {
    *count = row[0] ? std::strtoll(row[0]->c_str(), nullptr, 10) : 0;
    return false;
  });
}

// The line's run claims the identity, or takes it over from the run that holds it last: the
// record keeps what the lines say, a write after a programmed board included (check finds it).
bool ImportIdentity(Database& database, const std::string& run_id, const BoardRecordLine& line) {
  IdentityOwner owner;
  std::string last_run;
  if (!ReadMacIdentity(database, line.mac_address, &owner, &last_run)) return false;
  const DatabaseValue run = DatabaseValue::Text(run_id);
  const DatabaseValue mac = DatabaseValue::Text(line.mac_address);
  if (owner.state == IdentityState::kFree) {
    return database.Execute("INSERT INTO qnt5200_mac (mac_address, run_id) VALUES (?, ?)",
                            {mac, run});
  }
  return database.Execute(
      "INSERT INTO qnt5200_takeover (taken_run_id, run_id, mac_address) VALUES (?, ?, ?)",
      {DatabaseValue::Text(last_run), run, mac});
}

bool ImportSerial(Database& database, const std::string& run_id, const BoardRecordLine& line) {
  int64_t present = 0;
  return Count(database, "SELECT COUNT(*) FROM qnt5200_serial WHERE serial_number = ?",
               line.serial_number, &present) &&
         (present > 0 ||
          database.Execute(
              "INSERT INTO qnt5200_serial (serial_number, mac_address, run_id) VALUES (?, ?, ?)",
              {DatabaseValue::Text(line.serial_number), DatabaseValue::Text(line.mac_address),
               DatabaseValue::Text(run_id)}));
}

// The line as a run of its own, placed at its own time and, within its second, by its number.
bool ImportLine(Database& database, const RecordEngine& engine, const std::string& run_id,
                const RecordEntry& entry, ImportCounts* counts) {
  const BoardRecordLine& line = entry.fields;
  int64_t known = 0;
  if (!Count(database, "SELECT COUNT(*) FROM qnt5200_line WHERE run_id = ?", run_id, &known)) {
    return false;
  }
  if (known > 0) {
    ++counts->runs_known;
    return true;
  }
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(line.crc32));
  if (!database.Execute(
          std::string("INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time,"
                      " adapter, chip, memory, mac_address, serial_number, image_length, crc32,"
                      " file_name, result, written, verified, station, duration_ms, error) VALUES"
                      " (?, ?, ") +
              engine.time_of + ", ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {DatabaseValue::Text(run_id),
           DatabaseValue::Text(line.reserved ? kLineReserve : kLineOutcome),
           DatabaseValue::Text(SqlTimeOf(line)), DatabaseValue::Number(entry.number),
           DatabaseValue::Text(line.time), DatabaseValue::Number(line.adapter),
           DatabaseValue::Text(line.chip), DatabaseValue::Text(line.memory),
           DatabaseValue::Text(line.mac_address), DatabaseValue::Text(line.serial_number),
           DatabaseValue::Number(line.image_length), DatabaseValue::Text(crc),
           DatabaseValue::Text(line.file), DatabaseValue::Text(RecordResultText(line)),
           DatabaseValue::Text(RecordWrittenText(line)),
           DatabaseValue::Text(line.verified ? "yes" : "no"), DatabaseValue::Text(line.station),
           DatabaseValue::Number(line.duration_ms), DatabaseValue::Text(line.error)})) {
    return false;
  }
  ++counts->runs_added;
  // A line that sent nothing tells nothing of its identity.
  if (!line.reserved && !line.written) return true;
  return (line.mac_address.empty() || ImportIdentity(database, run_id, line)) &&
         (line.serial_number.empty() || ImportSerial(database, run_id, line));
}

}  // namespace

bool ImportRecord(const ParsedBoardRecord& record, Database& database, ImportCounts* counts) {
  std::map<uint64_t, int> seen;  // the same line twice in one file is two runs
  int in_transaction = 0;
  const RecordEngine& engine = RecordEngineOf(database.ServerProduct());
  for (const RecordEntry& entry : record.entries) {
    if (in_transaction == 0 && !database.Begin()) return false;
    const std::string text = FormatBoardRecordLine(entry.fields);
    const uint64_t hash = Fnv1a(text);
    char run_id[64];
    std::snprintf(run_id, sizeof run_id, "import|%016llx|%d", static_cast<unsigned long long>(hash),
                  seen[hash]++);
    if (!ImportLine(database, engine, run_id, entry, counts)) {
      database.Rollback();
      return false;
    }
    if (++in_transaction == kLinesPerTransaction) {
      if (!database.Commit()) return false;
      in_transaction = 0;
    }
  }
  return in_transaction == 0 || database.Commit();
}

bool ExportRecord(Database& database, std::string* csv) { return ReadOrderedRecord(database, csv); }
