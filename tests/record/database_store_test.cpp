// The database record's transactions against a real PostgreSQL server.
#include "record/database_store.h"

#include <gtest/gtest.h>

#include "record/record_schema.h"
#include "support/capture_console.h"
#include "support/postgres_cluster.h"

namespace {

BoardRecordLine Line(const std::string& mac, const std::string& serial, const std::string& station) {
  BoardRecordLine line;
  line.time = "2026-12-08T10:11:04Z";
  line.adapter = 3;
  line.chip = "QNT5230";
  line.memory = "eeprom";
  line.mac_address = mac;
  line.serial_number = serial;
  line.station = station;
  line.file = "board.ini";
  line.reserved = true;
  return line;
}

// A finished line of |line|'s run: the write sent, |result| its exit code.
BoardRecordLine Outcome(BoardRecordLine line, int result) {
  line.reserved = false;
  line.written = true;
  line.result = result;
  line.time = "2026-12-08T10:11:09Z";
  return line;
}

class DatabaseStoreTest : public DatabaseTest {
 protected:
  void Open(DatabaseStore& store) { ASSERT_TRUE(store.Open(console_)) << console_.output(); }
  CaptureConsole console_;
};

TEST_F(DatabaseStoreTest, AnIdentityIsReservedOnceAndItsOwnerNamed) {
  DatabaseStore first(PostgresCluster::kStation);
  Open(first);
  DatabaseStore second(PostgresCluster::kStation);
  Open(second);
  IdentityOwner owner;
  const BoardRecordLine line = Line("00:1B:21:00:00:01", "0001", "station-a");
  EXPECT_EQ(first.Reserve("run-1", line, true, false, &owner), DatabaseStore::Reserved::kReserved);

  BoardRecordLine other = Line("00:1B:21:00:00:01", "0002", "station-b");
  ASSERT_EQ(second.Reserve("run-2", other, true, false, &owner), DatabaseStore::Reserved::kHeld);
  EXPECT_EQ(owner.station, "station-a");
  EXPECT_EQ(owner.adapter, 3u);
  EXPECT_EQ(owner.state, kIdentityReserved);
  EXPECT_EQ(owner.reserved_at, "2026-12-08T10:11:04Z");
  // The serial number counts apart from the MAC address, unless the INI file does not step it.
  other = Line("00:1B:21:00:00:02", "0001", "station-b");
  EXPECT_EQ(second.Reserve("run-3", other, true, false, &owner), DatabaseStore::Reserved::kHeld);
  EXPECT_EQ(owner.mac_address, "00:1B:21:00:00:01");
  EXPECT_EQ(second.Reserve("run-4", other, false, false, &owner),
            DatabaseStore::Reserved::kReserved);
  // A refused reservation leaves nothing behind, and the connection takes the next statement.
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_run"), "2");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_serial"), "1");
}

TEST_F(DatabaseStoreTest, ReworkTakesOverAFailedIdentityButNeverAProgrammedOne) {
  DatabaseStore store(PostgresCluster::kStation);
  Open(store);
  IdentityOwner owner;
  const BoardRecordLine line = Line("00:1B:21:00:00:10", "0010", "station-a");
  ASSERT_EQ(store.Reserve("run-1", line, true, false, &owner), DatabaseStore::Reserved::kReserved);
  ASSERT_TRUE(store.RecordOutcome("run-1", Outcome(line, 9), true));
  EXPECT_EQ(QueryText("SELECT state FROM qnt5200_identity"), kIdentityFailed);
  EXPECT_EQ(store.FindOpenIdentities(), DatabaseStore::Found::kHeld);

  ASSERT_EQ(store.Reserve("run-2", line, true, true, &owner), DatabaseStore::Reserved::kReserved);
  ASSERT_TRUE(store.RecordOutcome("run-2", Outcome(line, 0), true));
  EXPECT_EQ(QueryText("SELECT state || ' ' || run_id FROM qnt5200_identity"),
            "programmed run-2");
  EXPECT_EQ(QueryText("SELECT result || written FROM qnt5200_run WHERE run_id = 'run-1'"), "9yes");
  EXPECT_EQ(store.FindOpenIdentities(), DatabaseStore::Found::kNone);

  EXPECT_EQ(store.Reserve("run-3", line, true, true, &owner), DatabaseStore::Reserved::kHeld);
  EXPECT_EQ(owner.state, kIdentityProgrammed);
}

TEST_F(DatabaseStoreTest, GivingBackRemovesOnlyTheRunsOwnRows) {
  DatabaseStore store(PostgresCluster::kStation);
  Open(store);
  IdentityOwner owner;
  const BoardRecordLine mine = Line("00:1B:21:00:00:20", "0020", "station-a");
  const BoardRecordLine theirs = Line("00:1B:21:00:00:21", "0021", "station-b");
  ASSERT_EQ(store.Reserve("run-1", mine, true, false, &owner), DatabaseStore::Reserved::kReserved);
  ASSERT_EQ(store.Reserve("run-2", theirs, true, false, &owner),
            DatabaseStore::Reserved::kReserved);
  // Another run's identity is never given back under this run's name.
  EXPECT_TRUE(store.GiveBack("run-1", theirs));
  BoardRecordLine back = mine;
  back.reserved = false;
  back.result = 10;
  ASSERT_TRUE(store.GiveBack("run-1", back));
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_identity"), "1");
  EXPECT_EQ(QueryText("SELECT mac_address FROM qnt5200_identity"), "00:1B:21:00:00:21");
  EXPECT_EQ(QueryText("SELECT serial_number FROM qnt5200_serial"), "0021");
  EXPECT_EQ(QueryText("SELECT result || written FROM qnt5200_run WHERE run_id = 'run-1'"), "10no");
  EXPECT_EQ(store.Reserve("run-3", mine, true, false, &owner), DatabaseStore::Reserved::kReserved);
}

TEST_F(DatabaseStoreTest, HostileTextIsBoundStoredAndReadBackUnchanged) {
  DatabaseStore store(PostgresCluster::kStation);
  Open(store);
  const std::string hostile = "x'); DROP TABLE qnt5200_run; --\",;\n\t\\ü中𝄞?";
  BoardRecordLine line = Line("00:1B:21:00:00:30", hostile, hostile);
  line.chip = "'?'";
  line.file = hostile + ".ini";
  line.error = hostile;
  IdentityOwner owner;
  ASSERT_EQ(store.Reserve(hostile, line, true, false, &owner), DatabaseStore::Reserved::kReserved);
  ASSERT_TRUE(store.RecordOutcome(hostile, Outcome(line, 9), true));
  DatabaseRow row;
  ASSERT_TRUE(store.database().Query(
      "SELECT run_id, serial_number, station, file_name, error, chip FROM qnt5200_run", {},
      [&](const DatabaseRow& found) {
        row = found;
        return true;
      }));
  ASSERT_EQ(row.size(), 6u);
  EXPECT_EQ(row[0], hostile);
  EXPECT_EQ(row[1], hostile);
  EXPECT_EQ(row[2], hostile);
  EXPECT_EQ(row[3], hostile + ".ini");
  EXPECT_EQ(row[4], hostile);
  EXPECT_EQ(row[5], "'?'");
  EXPECT_EQ(QueryText("SELECT serial_number FROM qnt5200_serial"), hostile);
}

TEST_F(DatabaseStoreTest, AServerThatIsDownIsNamedWithTheDriversWordsAndNoPassword) {
  DatabaseStore reserved(PostgresCluster::kStation);
  Open(reserved);
  IdentityOwner owner;
  const BoardRecordLine line = Line("00:1B:21:00:00:40", "", "station-a");
  ASSERT_EQ(reserved.Reserve("run-1", line, true, false, &owner),
            DatabaseStore::Reserved::kReserved);
  ASSERT_TRUE(cluster_->Pause());
  // The outcome cannot be told; the reservation stays.
  EXPECT_FALSE(reserved.RecordOutcome("run-1", Outcome(line, 0), true));

  const std::string connection = "Driver={PostgreSQL Unicode};Servername=" + cluster_->dir() +
                                 ";Port=5432;Database=qnt5200;UID=qnt5200_station;PWD={se;cret}";
  DatabaseStore down(connection);
  EXPECT_FALSE(down.Open(console_));
  ASSERT_TRUE(cluster_->Resume());
  EXPECT_NE(console_.output().find("Couldn't reach the record database " + cluster_->dir() +
                                 ":5432: [08001]"),
            std::string::npos)
      << console_.output();
  EXPECT_EQ(console_.output().find("se;cret"), std::string::npos);
  EXPECT_EQ(QueryText("SELECT state FROM qnt5200_identity"), kIdentityReserved);
}

}  // namespace
