// One sequence of runs kept by the file record and by the database record: reworks (one after a
// run that died), failures, refusals, the last board of a range, a run that dies, two stations,
// all within one second. Every reader must see the database as it sees the file: the same lines
// in the same order, so the same summary, check and report page.
#include <gtest/gtest.h>

#include "format/board_record.h"
#include "platform/user_file.h"
#include "record/database_record_store.h"
#include "record/record_order.h"
#include "support/capture_console.h"
#include "support/postgres_cluster.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/record/database_report.h"
#include "tools/record/database_transfer.h"
#include "tools/record/record_check.h"
#include "tools/record/record_report.h"
#include "tools/record/record_summary.h"
#include "tools/record/report_page.h"
#include "tools/record/report_page_data.h"

namespace {

constexpr char kSecond[] = "2026-12-08T10:11:04Z";

struct Step {
  const char* station;
  uint32_t adapter;
  const char* mac;
  const char* serial;
  bool rework = false;
  bool reserve = true;  // false: refused before the board was touched
  int result = 0;       // -1: the run dies after its reservation
  bool verified = false;
};

// Runs |step| against |store| as the app does: a fresh store per run.
void RunStep(RecordStore& store, const Step& step, CaptureConsole& console) {
  ASSERT_EQ(store.Open(), RecordStatus::kDone) << console.output();
  RecordKnowledge known;
  ASSERT_EQ(store.LookUp(step.mac, step.serial, &known), RecordStatus::kDone);
  BoardRecordLine line{.time = kSecond,
                       .adapter = step.adapter,
                       .chip = "qnt5230",
                       .memory = "eeprom",
                       .mac_address = step.mac,
                       .serial_number = step.serial,
                       .image_length = 302,
                       .file = "b.ini",
                       .station = step.station};
  if (!step.reserve) {
    line.refused = true;
    line.result = step.result;
    ASSERT_EQ(store.RecordOutcome(line), RecordStatus::kDone);
    return;
  }
  RecordReservation reservation{.line = line, .serial_counts = true, .rework = step.rework};
  reservation.line.reserved = true;
  IdentityOwner owner;
  ASSERT_EQ(store.Reserve(reservation, &owner), RecordStatus::kDone) << step.mac;
  if (step.result < 0) return;
  line.written = true;
  line.result = step.result;
  line.verified = step.verified || step.result == 0;
  line.duration_ms = 1200;
  ASSERT_EQ(store.RecordOutcome(line), RecordStatus::kDone);
}

const Step kSteps[] = {
    {"st1", 0, "00:11:22:33:44:10", "0010"},
    {"st2", 0, "00:11:22:33:44:11", "0011", false, true, 9},
    {"st2", 0, "00:11:22:33:44:11", "0011", true},
    {"st1", 1, "00:11:22:33:44:12", "0012", false, true, -1},
    {"st1", 1, "00:11:22:33:44:10", "", false, false, 10},
    {"st2", 1, "00:11:22:33:44:13", "0013", false, true, 9},
    {"st2", 1, "00:11:22:33:44:13", "0013", true, true, 9},
    {"st2", 1, "00:11:22:33:44:13", "0013", true},
    {"st1", 2, "00:11:22:33:44:12", "0012", true},
    {"st1", 3, "00:11:22:33:44:14", "0014", false, true, 10, true},
    {"st2", 2, "00:11:22:33:44:15", "0015", false, true, -1},
};

std::string Page(const std::string& record) {
  return ReportPageHtml(
      GatherReportPage("R", ParseBoardRecord(record), SummarizeRecord(record), {}));
}

class RecordOrderDatabase : public DatabaseTest {};

TEST_F(RecordOrderDatabase, TheDatabaseReadsAsTheFileOfTheSameRuns) {
  TempDir dir;
  const std::string file = dir.File("record.csv");
  CaptureConsole console;
  for (const Step& step : kSteps) {
    auto file_store = MakeRecordStore({.name = file}, console);
    RunStep(*file_store, step, console);
    DatabaseRecordStore database_store(PostgresCluster::kStation, console);
    RunStep(database_store, step, console);
  }
  EXPECT_EQ(console.output(), "");
  const std::string record = ReadFileText(file);

  Database database;
  ASSERT_TRUE(database.Connect(PostgresCluster::kStation, {})) << database.error().Text();
  std::string exported;
  ASSERT_TRUE(ExportRecord(database, &exported)) << database.error().Text();
  EXPECT_EQ(exported, record);
  // The numbers the steps give: 5 boards programmed (the last of its range among them, though
  // its run ends with 10), 1 run of unknown outcome, no identity on two boards.
  const RecordSummary from_file = SummarizeRecord(record);
  EXPECT_EQ(from_file.programmed, 5);
  EXPECT_EQ(from_file.unfinished, 1);
  RecordSummary from_database;
  ASSERT_TRUE(SummarizeDatabase(database, &from_database));
  EXPECT_EQ(SummaryText("R", from_database, {}), SummaryText("R", from_file, {}));

  const RecordCheck file_check = CheckRecord(record, true);
  EXPECT_EQ(file_check.clashes.size(), 0u);
  EXPECT_EQ(file_check.unknown.size(), 1u);
  DatabaseCheck database_check;
  ASSERT_TRUE(CheckDatabase(database, true, &database_check));
  EXPECT_EQ(database_check.clashes.size(), 0u);
  ASSERT_EQ(database_check.unknown.size(), 1u);
  EXPECT_EQ(database_check.unknown[0].mac_address, "00:11:22:33:44:15");
  EXPECT_EQ(CheckText("R", CheckRecord(exported, true)), CheckText("R", file_check));
  EXPECT_EQ(Page(exported), Page(record));
}

// A rework follows the run it took over even when the server's clock was set back in between.
TEST_F(RecordOrderDatabase, AReworkFollowsTheRunItTookOverWhateverTheClock) {
  const char* insert =
      "INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time, adapter, chip,"
      " memory, mac_address, serial_number, image_length, crc32, file_name, result, written,"
      " verified, station, duration_ms, error) VALUES ('%s', '%s', '%s', 0, '%s', 0, 'qnt5230',"
      " 'eeprom', '00:11:22:33:44:20', '', 0, '00000000', 'b.ini', '%s', '%s', '%s', 'st1', 0,"
      " '')";
  const auto line = [&](const char* run, const char* kind, const char* at, const char* result,
                        const char* written, const char* verified) {
    char sql[1024];
    std::snprintf(sql, sizeof sql, insert, run, kind, at, kSecond, result, written, verified);
    return RunAsOwner(sql);
  };
  ASSERT_TRUE(line("a", "reserve", "2026-12-08 10:11:04.500000", "reserved", "no", "no"));
  ASSERT_TRUE(line("a", "outcome", "2026-12-08 10:11:04.900000", "9", "yes", "no"));
  ASSERT_TRUE(line("b", "reserve", "2026-12-08 10:11:04.100000", "reserved", "no", "no"));
  ASSERT_TRUE(line("b", "outcome", "2026-12-08 10:11:04.200000", "0", "yes", "yes"));
  ASSERT_TRUE(RunAsOwner("INSERT INTO qnt5200_mac VALUES ('00:11:22:33:44:20', 'a')"));
  ASSERT_TRUE(RunAsOwner("INSERT INTO qnt5200_takeover VALUES ('a', 'b', '00:11:22:33:44:20')"));
  Database database;
  ASSERT_TRUE(database.Connect(PostgresCluster::kStation, {})) << database.error().Text();
  std::string record;
  ASSERT_TRUE(ReadOrderedRecord(database, &record));
  const ParsedBoardRecord lines = ParseBoardRecord(record);
  ASSERT_EQ(lines.entries.size(), 4u);
  EXPECT_TRUE(lines.entries[0].fields.reserved);
  EXPECT_EQ(lines.entries[1].fields.result, 9);
  EXPECT_TRUE(lines.entries[2].fields.reserved);
  EXPECT_TRUE(lines.entries[3].fields.verified);
  EXPECT_TRUE(CheckRecord(record, true).Clean());
}

}  // namespace
