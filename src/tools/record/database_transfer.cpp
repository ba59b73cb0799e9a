// database_transfer.cpp - importing a CSV record into the database record and exporting it.
#include "tools/record/database_transfer.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "format/utc_time.h"
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

const char* StateOf(const BoardRecordLine& line) {
  if (line.reserved) return kIdentityReserved;
  return line.result == 0 ? kIdentityProgrammed : kIdentityFailed;
}

std::string StartOf(const BoardRecordLine& line) {
  int64_t seconds = 0;
  if (!ParseUtcTime(line.time, &seconds)) return line.time;
  return UtcTimeText(seconds - line.duration_ms / 1000);
}

bool Count(Database& database, const char* sql, const std::string& key, int64_t* count) {
  return database.Query(sql, {DatabaseValue::Text(key)}, [&](const DatabaseRow& row) {
    *count = row[0] ? std::strtoll(row[0]->c_str(), nullptr, 10) : 0;
    return false;
  });
}

// The identity in the state of |line|, unless a later line spoke of it already.
bool ImportIdentity(Database& database, const std::string& run_id, const BoardRecordLine& line) {
  const std::vector<DatabaseValue> values = {
      DatabaseValue::Text(StateOf(line)), DatabaseValue::Text(run_id),
      DatabaseValue::Text(line.station),  DatabaseValue::Number(line.adapter),
      DatabaseValue::Text(line.time),     DatabaseValue::Text(line.mac_address)};
  int64_t rows = 0;
  if (!database.Execute(
          "UPDATE qnt5200_identity SET state = ?, run_id = ?, station = ?, adapter = ?,"
          " updated_at = ? WHERE mac_address = ? AND updated_at <= ?",
          {values[0], values[1], values[2], values[3], values[4], values[5], values[4]}, &rows)) {
    return false;
  }
  int64_t present = 0;
  if (rows > 0 || !Count(database, "SELECT COUNT(*) FROM qnt5200_identity WHERE mac_address = ?",
                         line.mac_address, &present)) {
    return rows > 0;
  }
  return present > 0 ||
         database.Execute(
             "INSERT INTO qnt5200_identity (state, run_id, station, adapter, updated_at,"
             " mac_address, reserved_at) VALUES (?, ?, ?, ?, ?, ?, ?)",
             {values[0], values[1], values[2], values[3], values[4], values[5], values[4]});
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

bool ImportLine(Database& database, const std::string& run_id, const BoardRecordLine& line,
                ImportCounts* counts) {
  int64_t known = 0;
  if (!Count(database, "SELECT COUNT(*) FROM qnt5200_run WHERE run_id = ?", run_id, &known)) {
    return false;
  }
  if (known > 0) {
    ++counts->runs_known;
    return true;
  }
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(line.crc32));
  if (!database.Execute(
          "INSERT INTO qnt5200_run (run_id, started_at, updated_at, adapter, chip, memory,"
          " mac_address, serial_number, image_length, crc32, file_name, result, written, station,"
          " duration_ms, error) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {DatabaseValue::Text(run_id), DatabaseValue::Text(StartOf(line)),
           DatabaseValue::Text(line.time), DatabaseValue::Number(line.adapter),
           DatabaseValue::Text(line.chip), DatabaseValue::Text(line.memory),
           DatabaseValue::Text(line.mac_address), DatabaseValue::Text(line.serial_number),
           DatabaseValue::Number(line.image_length), DatabaseValue::Text(crc),
           DatabaseValue::Text(line.file), DatabaseValue::Text(RecordResultText(line)),
           DatabaseValue::Text(RecordWrittenText(line)), DatabaseValue::Text(line.station),
           DatabaseValue::Number(line.duration_ms), DatabaseValue::Text(line.error)})) {
    return false;
  }
  ++counts->runs_added;
  // A line that sent nothing tells nothing of its identity.
  if (!line.reserved && !line.written) return true;
  return (line.mac_address.empty() || ImportIdentity(database, run_id, line)) &&
         (line.serial_number.empty() || ImportSerial(database, run_id, line));
}

BoardRecordLine LineOf(const DatabaseRow& row) {
  const auto text = [&](size_t column) { return row[column].value_or(""); };
  BoardRecordLine line{
      .time = text(0),
      .adapter = static_cast<uint32_t>(std::strtoul(text(1).c_str(), nullptr, 10)),
      .chip = text(2),
      .memory = text(3),
      .mac_address = text(4),
      .serial_number = text(5),
      .image_length = static_cast<int32_t>(std::strtol(text(6).c_str(), nullptr, 10)),
      .crc32 = static_cast<uint32_t>(std::strtoul(text(7).c_str(), nullptr, 16)),
      .file = text(8),
      .station = text(11),
      .duration_ms = static_cast<uint32_t>(std::strtoul(text(12).c_str(), nullptr, 10)),
      .error = text(13)};
  line.reserved = text(9) == kRecordReserved;
  line.result = line.reserved ? 0 : std::atoi(text(9).c_str());
  line.written = text(10) == "yes";
  line.refused = text(10) == "refused";
  // The runs table tells a programmed board as the first record form did: written, result 0.
  line.verified = !line.reserved && line.written && line.result == 0;
  return line;
}

}  // namespace

bool ImportRecord(const ParsedBoardRecord& record, Database& database, ImportCounts* counts) {
  std::map<uint64_t, int> seen;  // the same line twice in one file is two runs
  int in_transaction = 0;
  for (const RecordEntry& entry : record.entries) {
    if (in_transaction == 0 && !database.Begin()) return false;
    const std::string text = FormatBoardRecordLine(entry.fields);
    const uint64_t hash = Fnv1a(text);
    char run_id[64];
    std::snprintf(run_id, sizeof run_id, "import|%016llx|%d", static_cast<unsigned long long>(hash),
                  seen[hash]++);
    if (!ImportLine(database, run_id, entry.fields, counts)) {
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

bool ExportRecord(Database& database, std::string* csv) {
  *csv = kBoardRecordHeader;
  return database.Query(
      "SELECT updated_at, adapter, chip, memory, mac_address, serial_number, image_length, crc32,"
      " file_name, result, written, station, duration_ms, error FROM qnt5200_run"
      " ORDER BY started_at, updated_at, run_id",
      {}, [&](const DatabaseRow& row) {
        *csv += FormatBoardRecordLine(LineOf(row));
        return true;
      });
}
