// database_command.cpp - qnt5200-record on a database record. A connection string is never shown:
// messages name its DSN, or its server and database.
#include "tools/record/database_command.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "format/mac_text.h"
#include "platform/user_file.h"
#include "record/database_deadlines.h"
#include "record/database_record_store.h"
#include "record/record_order.h"
#include "record/record_schema.h"
#include "tools/record/database_report.h"
#include "tools/record/database_transfer.h"
#include "tools/record/ini_range.h"
#include "tools/record/record_json.h"
#include "tools/record/report_page.h"
#include "tools/record/report_page_data.h"

namespace {

// "odbc:DSN=line1" as the user wrote it when the string is a DSN's name alone, else the database
// as ConnectionServer names it.
std::string Shown(const std::string& connection) {
  const std::string name = ConnectionServer(connection);
  if (name.rfind("DSN ", 0) == 0 && connection == "DSN=" + name.substr(4)) {
    return kDatabaseRecordPrefix + connection;
  }
  return RecordDatabaseName(connection);
}

std::string MacText(uint64_t number) {
  MacAddress mac{};
  for (size_t i = mac.size(); i-- > 0; number >>= 8) mac[i] = static_cast<uint8_t>(number);
  return MacAddressText(mac);
}

int Failed(const char* doing, const std::string& connection, const Database& database) {
  std::fprintf(stderr, "qnt5200-record: couldn't %s %s: %s\n", doing,
               RecordDatabaseName(connection).c_str(), database.error().Text().c_str());
  return kRecordToolBadInput;
}

// Connects; with |tables|, also requires the tables in this program's form.
bool Connect(const std::string& connection, bool tables, Database* database) {
  if (!database->Connect(connection, RecordDeadlines())) {
    Failed("reach", connection, *database);
    return false;
  }
  int version = 0;
  const SchemaState state = tables ? ReadSchemaState(*database, &version) : SchemaState::kCurrent;
  if (state == SchemaState::kCurrent) return true;
  if (state == SchemaState::kError) {
    Failed("read", connection, *database);
  } else if (state == SchemaState::kMissing) {
    std::fprintf(stderr, "qnt5200-record: %s holds no record tables; create them with init\n",
                 Shown(connection).c_str());
  } else if (state == SchemaState::kOlder) {
    std::fprintf(stderr,
                 "qnt5200-record: %s has tables of version %d; upgrade them with init, as the "
                 "database's owner\n",
                 Shown(connection).c_str(), version);
  } else {
    std::fprintf(stderr, "qnt5200-record: %s has tables of version %d; this program knows %d\n",
                 Shown(connection).c_str(), version, kRecordSchemaVersion);
  }
  return false;
}

// Creates the tables, or upgrades those of an older version in place.
int Init(const std::string& connection) {
  Database database;
  if (!Connect(connection, false, &database)) return kRecordToolBadInput;
  int version = 0;
  const SchemaState state = ReadSchemaState(database, &version);
  if (state == SchemaState::kOlder) {
    if (!UpgradeRecordSchema(database)) {
      std::fprintf(stderr,
                   "qnt5200-record: couldn't upgrade the record tables of %s from version %d to "
                   "%d (init takes the database owner's login): %s\n",
                   Shown(connection).c_str(), version, kRecordSchemaVersion,
                   database.error().Text().c_str());
      return kRecordToolBadInput;
    }
    std::printf("Upgraded the record tables in %s from version %d to %d, every row kept\n",
                Shown(connection).c_str(), version, kRecordSchemaVersion);
    return kRecordToolDone;
  }
  if (state == SchemaState::kError) return Failed("read", connection, database);
  if (state != SchemaState::kMissing) {
    std::fprintf(stderr, "qnt5200-record: %s holds record tables already\n",
                 Shown(connection).c_str());
    return kRecordToolBadInput;
  }
  if (!CreateRecordSchema(database)) return Failed("create the tables in", connection, database);
  std::printf("Created the record tables (version %d) in %s\n", kRecordSchemaVersion,
              Shown(connection).c_str());
  return kRecordToolDone;
}

int Summary(const RecordCommand& command, const std::string& connection) {
  std::vector<IniRanges> ranges;
  if (!LoadRanges(command, &ranges)) return kRecordToolBadInput;
  Database database;
  if (!Connect(connection, true, &database)) return kRecordToolBadInput;
  RecordSummary summary;
  if (!SummarizeDatabase(database, &summary)) return Failed("read", connection, database);
  const std::string name = Shown(connection);
  const std::string report =
      command.json ? SummaryJson(name, summary, ranges) : SummaryText(name, summary, ranges);
  std::fputs(report.c_str(), stdout);
  return kRecordToolDone;
}

// Every two INI files whose MAC addresses left may meet.
bool FindOverlaps(const std::vector<std::string>& inis, DatabaseCheck* check, bool* serial_counts) {
  std::vector<std::optional<MacSpan>> spans;
  *serial_counts = inis.empty();
  for (const std::string& ini : inis) {
    DeviceSettings settings;
    if (!LoadIni(ini, &settings)) return false;
    spans.push_back(MacSpanLeft(settings));
    *serial_counts = *serial_counts || settings.SerialNumberIncrement != 0;
  }
  for (size_t a = 0; a < spans.size(); ++a) {
    for (size_t b = a + 1; b < spans.size(); ++b) {
      if (!spans[a] || !spans[b]) continue;
      const uint64_t first = std::max(spans[a]->first, spans[b]->first);
      const uint64_t last = std::min(spans[a]->last, spans[b]->last);
      if (first > last) continue;
      check->overlaps.push_back({.first_file = inis[a],
                                 .second_file = inis[b],
                                 .first_mac = MacText(first),
                                 .last_mac = MacText(last)});
    }
  }
  return true;
}

int Check(const RecordCommand& command, const std::string& connection) {
  DatabaseCheck check;
  bool serial_counts = true;
  if (!FindOverlaps(command.inis, &check, &serial_counts)) return kRecordToolBadInput;
  Database database;
  if (!Connect(connection, true, &database)) return kRecordToolBadInput;
  if (!CheckDatabase(database, serial_counts, &check)) {
    return Failed("read", connection, database);
  }
  const std::string name = Shown(connection);
  const std::string report =
      command.json ? DatabaseCheckJson(name, check) : DatabaseCheckText(name, check);
  std::fputs(report.c_str(), stdout);
  return check.Clean() ? kRecordToolDone : kRecordToolFound;
}

int Import(const RecordCommand& command, const std::string& connection) {
  ParsedBoardRecord record;
  if (!ReadRecord(command.record, &record)) return kRecordToolBadInput;
  Database database;
  if (!Connect(connection, true, &database)) return kRecordToolBadInput;
  ImportCounts counts;
  if (!ImportRecord(record, database, &counts)) {
    std::fprintf(stderr,
                 "qnt5200-record: %d lines of %s were imported before the error; importing "
                 "again brings in the rest\n",
                 counts.runs_added, command.record.c_str());
    return Failed("write", connection, database);
  }
  std::printf("Imported %s into %s: %d runs added, %d there already\n", command.record.c_str(),
              Shown(connection).c_str(), counts.runs_added, counts.runs_known);
  return kRecordToolDone;
}

int Export(const RecordCommand& command, const std::string& connection) {
  const std::string& file = command.target;
  if (!CanReplaceUserFile(file.c_str())) {
    std::fprintf(stderr, "qnt5200-record: cannot write %s\n", file.c_str());
    return kRecordToolBadInput;
  }
  Database database;
  if (!Connect(connection, true, &database)) return kRecordToolBadInput;
  std::string csv;
  if (!ExportRecord(database, &csv)) return Failed("read", connection, database);
  if (ReplaceUserFile(file.c_str(), csv.data(), csv.size()) != ReplaceResult::kReplaced) {
    std::fprintf(stderr, "qnt5200-record: cannot write %s\n", file.c_str());
    return kRecordToolBadInput;
  }
  std::printf("Exported %s to %s\n", Shown(connection).c_str(), file.c_str());
  return kRecordToolDone;
}

// The page from the lines in the one order, as the record file's report makes it.
int Report(const RecordCommand& command, const std::string& connection) {
  if (!CanReplaceUserFile(command.output.c_str())) {
    std::fprintf(stderr, "qnt5200-record: %s is no regular file, and the page is not written\n",
                 command.output.c_str());
    return kRecordToolBadInput;
  }
  std::vector<IniRanges> ranges;
  if (!LoadRanges(command, &ranges)) return kRecordToolBadInput;
  Database database;
  if (!Connect(connection, true, &database)) return kRecordToolBadInput;
  std::string record;
  if (!ReadOrderedRecord(database, &record)) return Failed("read", connection, database);
  return WriteReportPage(command, Shown(connection), ParseBoardRecord(record),
                         SummarizeRecord(record), ranges);
}

}  // namespace

int RunDatabaseCommand(const RecordCommand& command, const std::string& connection) {
  switch (command.kind) {
    case RecordCommand::Kind::kInit:
      return Init(connection);
    case RecordCommand::Kind::kSummary:
      return Summary(command, connection);
    case RecordCommand::Kind::kCheck:
      return Check(command, connection);
    case RecordCommand::Kind::kImport:
      return Import(command, connection);
    case RecordCommand::Kind::kExport:
      return Export(command, connection);
    case RecordCommand::Kind::kReport:
      return Report(command, connection);
    case RecordCommand::Kind::kHelp:
      break;
  }
  return kRecordToolBadInput;
}
