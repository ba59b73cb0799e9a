// What a station's login may do to the record, with the grants the README sets up: read it and
// add rows, nothing else; and no row it can add frees an identity a board was programmed with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/database_record_store.h"
#include "support/capture_console.h"
#include "support/postgres_cluster.h"

namespace {

constexpr const char* kTables[] = {"qnt5200_line", "qnt5200_mac", "qnt5200_serial",
                                   "qnt5200_takeover", "qnt5200_schema"};

std::vector<std::string> Rewrites(const std::string& table) {
  const std::string column = table == "qnt5200_schema" ? "version" : "run_id";
  const std::string value = table == "qnt5200_schema" ? "7" : "'x'";
  return {"UPDATE " + table + " SET " + column + " = " + value,
          "DELETE FROM " + table,
          "TRUNCATE " + table,
          "DROP TABLE " + table,
          "ALTER TABLE " + table + " ADD COLUMN extra INTEGER",
          "ALTER TABLE " + table + " RENAME TO " + table + "_old",
          "ALTER TABLE " + table + " DROP COLUMN " + column,
          "CREATE INDEX " + table + "_extra ON " + table + " (" + column + ")",
          "CREATE TRIGGER " + table + "_trigger BEFORE INSERT ON " + table +
              " FOR EACH ROW EXECUTE FUNCTION suppress_redundant_updates_trigger()",
          "LOCK TABLE " + table + " IN ACCESS EXCLUSIVE MODE"};
}

RecordReservation Reservation(const std::string& mac, const std::string& serial) {
  RecordReservation reservation{.serial_counts = true};
  BoardRecordLine& line = reservation.line;
  line.time = "2026-12-08T10:11:04Z";
  line.chip = "qnt5230";
  line.memory = "eeprom";
  line.mac_address = mac;
  line.serial_number = serial;
  line.station = "st1";
  line.file = "b.ini";
  line.reserved = true;
  return reservation;
}

class RecordGrants : public DatabaseTest {};

TEST_F(RecordGrants, AStationMayOnlyReadAndAddAndCannotFreeAProgrammedIdentity) {
  CaptureConsole console;
  const RecordReservation reservation = Reservation("00:11:22:33:44:30", "0030");
  {
    DatabaseRecordStore store(PostgresCluster::kStation, console);
    ASSERT_EQ(store.Open(), RecordStatus::kDone) << console.output();
    IdentityOwner owner;
    ASSERT_EQ(store.Reserve(reservation, &owner), RecordStatus::kDone);
    BoardRecordLine outcome = reservation.line;
    outcome.reserved = false;
    outcome.written = true;
    outcome.verified = true;
    ASSERT_EQ(store.RecordOutcome(outcome), RecordStatus::kDone);
  }
  const std::string run = QueryText("SELECT run_id FROM qnt5200_mac");

  Database station;
  ASSERT_TRUE(station.Connect(PostgresCluster::kStation, {})) << station.error().Text();
  std::vector<std::string> statements = {
      "CREATE TABLE qnt5200_extra (a INTEGER)",
      "CREATE VIEW qnt5200_identity AS SELECT * FROM qnt5200_mac",
      "CREATE FUNCTION qnt5200_f() RETURNS INTEGER AS 'SELECT 1' LANGUAGE SQL",
      "CREATE SCHEMA qnt5200_other",
      "CREATE TEMPORARY TABLE qnt5200_mac (mac_address VARCHAR(17), run_id VARCHAR(400))",
      "ALTER DATABASE qnt5200 SET search_path = pg_temp, public"};
  for (const char* table : kTables) {
    const std::vector<std::string> more = Rewrites(table);
    statements.insert(statements.end(), more.begin(), more.end());
  }
  // A grant of what the station lacks passes with a warning and grants nothing.
  for (const char* table : kTables) {
    station.Execute(std::string("GRANT ALL ON ") + table + " TO PUBLIC", {});
    station.Execute(std::string("GRANT ALL ON ") + table + " TO qnt5200_station", {});
  }
  for (const std::string& sql : statements) {
    EXPECT_FALSE(station.Execute(sql, {})) << sql;
  }
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_mac WHERE run_id = '" + run + "'"), "1");
  EXPECT_EQ(QueryText("SELECT version FROM qnt5200_schema"), "2");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line"), "2");

  // Rows a station may add by hand: a takeover of the programming run by a run of its own, and a
  // failed outcome for that run. The identity stays programmed, and no board is given it.
  ASSERT_TRUE(station.Execute(
      "INSERT INTO qnt5200_takeover (taken_run_id, run_id, mac_address) VALUES (?, 'forged',"
      " '00:11:22:33:44:30')",
      {DatabaseValue::Text(run)}));
  ASSERT_TRUE(station.Execute(
      "INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time, adapter, chip,"
      " memory, mac_address, serial_number, image_length, crc32, file_name, result, written,"
      " verified, station, duration_ms, error) VALUES ('forged', 'outcome', CURRENT_TIMESTAMP, 0,"
      " '2026-12-08T10:11:05Z', 0, 'qnt5230', 'eeprom', '00:11:22:33:44:30', '0030', 0,"
      " '00000000', 'b.ini', '9', 'yes', 'no', 'st9', 0, '')",
      {}));
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:30"), "programmed");
  DatabaseRecordStore next(PostgresCluster::kStation, console);
  ASSERT_EQ(next.Open(), RecordStatus::kDone) << console.output();
  IdentityOwner owner;
  EXPECT_EQ(next.Reserve(Reservation("00:11:22:33:44:30", "0031"), &owner),
            RecordStatus::kConflict);
  EXPECT_EQ(owner.state, IdentityState::kProgrammed);
  RecordReservation rework = Reservation("00:11:22:33:44:30", "0030");
  rework.rework = true;
  EXPECT_EQ(next.Reserve(rework, &owner), RecordStatus::kConflict);
  EXPECT_EQ(next.Reserve(Reservation("00:11:22:33:44:31", "0030"), &owner),
            RecordStatus::kConflict);
  EXPECT_EQ(owner.state, IdentityState::kProgrammed);
}

}  // namespace
