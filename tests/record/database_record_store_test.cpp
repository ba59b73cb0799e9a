// The database record's transactions against a real PostgreSQL server.
#include "record/database_record_store.h"

#include <gtest/gtest.h>

#include "record/record_schema.h"
#include "support/capture_console.h"
#include "support/postgres_cluster.h"

namespace {

RecordReservation Reservation(const std::string& mac, const std::string& serial,
                              const std::string& station) {
  RecordReservation reservation{.serial_counts = true};
  BoardRecordLine& line = reservation.line;
  line.time = "2026-12-08T10:11:04Z";
  line.adapter = 3;
  line.chip = "QNT5230";
  line.memory = "eeprom";
  line.mac_address = mac;
  line.serial_number = serial;
  line.station = station;
  line.file = "board.ini";
  line.reserved = true;
  return reservation;
}

// The outcome of |reservation|'s run: the write sent, |result| its exit code.
BoardRecordLine Outcome(const RecordReservation& reservation, int result) {
  BoardRecordLine line = reservation.line;
  line.reserved = false;
  line.written = true;
  line.result = result;
  line.time = "2026-12-08T10:11:09Z";
  return line;
}

class DatabaseRecordStoreTest : public DatabaseTest {
 protected:
  void Open(DatabaseRecordStore& store) {
    ASSERT_EQ(store.Open(), RecordStatus::kDone) << console_.output();
  }
  CaptureConsole console_;
  IdentityOwner owner_;
};

TEST_F(DatabaseRecordStoreTest, AnIdentityIsReservedOnceAndItsOwnerNamed) {
  DatabaseRecordStore first(PostgresCluster::kStation, console_);
  DatabaseRecordStore second(PostgresCluster::kStation, console_);
  Open(first);
  Open(second);
  EXPECT_EQ(first.Reserve(Reservation("00:1B:21:00:00:01", "0001", "station-a"), &owner_),
            RecordStatus::kDone);

  EXPECT_EQ(second.Reserve(Reservation("00:1B:21:00:00:01", "0002", "station-b"), &owner_),
            RecordStatus::kConflict);
  EXPECT_EQ(owner_.station, "station-a");
  EXPECT_EQ(owner_.adapter, 3u);
  EXPECT_EQ(owner_.state, IdentityState::kReserved);
  EXPECT_EQ(owner_.time, "2026-12-08T10:11:04Z");
  EXPECT_EQ(owner_.serial_number, "0001");
  // The serial number counts apart from the MAC address, unless the INI file does not step it.
  RecordReservation other = Reservation("00:1B:21:00:00:02", "0001", "station-b");
  EXPECT_EQ(second.Reserve(other, &owner_), RecordStatus::kConflict);
  EXPECT_EQ(owner_.mac_address, "00:1B:21:00:00:01");
  other.serial_counts = false;
  EXPECT_EQ(second.Reserve(other, &owner_), RecordStatus::kDone);
  // A refused reservation leaves nothing behind, and the connection takes the next statement.
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line"), "2");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_serial"), "1");
  EXPECT_EQ(console_.output(), "");

  RecordKnowledge knowledge;
  ASSERT_EQ(second.LookUp("00:1B:21:00:00:02", "0001", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.mac.station, "station-b");
  EXPECT_EQ(knowledge.serial.station, "station-a");
  ASSERT_EQ(second.LookUp("00:1B:21:00:00:03", "", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.mac.state, IdentityState::kFree);
  // A look-up is answered again without the server only for the same identity, until a write.
  ASSERT_EQ(second.Reserve(Reservation("00:1B:21:00:00:03", "0003", "station-b"), &owner_),
            RecordStatus::kDone);
  ASSERT_EQ(second.LookUp("00:1B:21:00:00:03", "", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.mac.state, IdentityState::kReserved);
  ASSERT_EQ(second.LookUp("00:1B:21:00:00:01", "", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.mac.station, "station-a");
}

TEST_F(DatabaseRecordStoreTest, ReworkTakesOverAFailedIdentityButNeverAProgrammedOne) {
  RecordReservation reservation = Reservation("00:1B:21:00:00:10", "0010", "station-a");
  {
    DatabaseRecordStore failed(PostgresCluster::kStation, console_);
    Open(failed);
    ASSERT_EQ(failed.Reserve(reservation, &owner_), RecordStatus::kDone);
    ASSERT_EQ(failed.RecordOutcome(Outcome(reservation, 9)), RecordStatus::kDone);
  }
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:10"), "failed");
  reservation.rework = true;
  DatabaseRecordStore rework(PostgresCluster::kStation, console_);
  Open(rework);
  bool may = false;
  ASSERT_EQ(rework.MayHoldUnfinished(&may), RecordStatus::kDone);
  EXPECT_TRUE(may);
  ASSERT_EQ(rework.Reserve(reservation, &owner_), RecordStatus::kDone);
  ASSERT_EQ(rework.RecordOutcome(Outcome(reservation, 0)), RecordStatus::kDone);
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:10"), "programmed");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line WHERE result = '9' AND written = 'yes'"),
            "1");

  DatabaseRecordStore again(PostgresCluster::kStation, console_);
  Open(again);
  EXPECT_EQ(again.Reserve(reservation, &owner_), RecordStatus::kConflict);
  EXPECT_EQ(owner_.state, IdentityState::kProgrammed);
}

TEST_F(DatabaseRecordStoreTest, ARunWithoutReservationLeavesEveryIdentityAsItWas) {
  DatabaseRecordStore holder(PostgresCluster::kStation, console_);
  DatabaseRecordStore refused(PostgresCluster::kStation, console_);
  Open(holder);
  Open(refused);
  const RecordReservation reservation = Reservation("00:1B:21:00:00:20", "0020", "station-a");
  ASSERT_EQ(holder.Reserve(reservation, &owner_), RecordStatus::kDone);
  BoardRecordLine line = reservation.line;
  line.reserved = false;
  line.refused = true;
  line.result = 10;
  ASSERT_EQ(refused.RecordOutcome(line), RecordStatus::kDone);
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:20"), "reserved");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line WHERE result = '10' AND"
                      " written = 'refused'"),
            "1");
}

TEST_F(DatabaseRecordStoreTest, HostileTextIsBoundStoredAndReadBackUnchanged) {
  DatabaseRecordStore store(PostgresCluster::kStation, console_);
  Open(store);
  const std::string hostile = "x'); DROP TABLE qnt5200_run; --\",;\n\t\\ü中𝄞?";
  RecordReservation reservation = Reservation("00:1B:21:00:00:30", hostile, hostile);
  reservation.line.chip = "'?'";
  reservation.line.file = hostile + ".ini";
  reservation.line.error = hostile;
  ASSERT_EQ(store.Reserve(reservation, &owner_), RecordStatus::kDone);
  ASSERT_EQ(store.RecordOutcome(Outcome(reservation, 9)), RecordStatus::kDone);
  DatabaseRow row;
  ASSERT_TRUE(store.database().Query(
      "SELECT serial_number, station, file_name, error, chip, run_id FROM qnt5200_line"
      " WHERE kind = 'outcome'",
      {}, [&](const DatabaseRow& found) {
        row = found;
        return true;
      }));
  ASSERT_EQ(row.size(), 6u);
  EXPECT_EQ(row[0], hostile);
  EXPECT_EQ(row[1], hostile);
  EXPECT_EQ(row[2], hostile + ".ini");
  EXPECT_EQ(row[3], hostile);
  EXPECT_EQ(row[4], "'?'");
  EXPECT_EQ(row[5]->rfind(hostile + "|3|", 0), 0u);
  EXPECT_EQ(QueryText("SELECT serial_number FROM qnt5200_serial"), hostile);
}

TEST_F(DatabaseRecordStoreTest, AServerThatIsDownIsNamedWithTheDriversWordsAndNoPassword) {
  DatabaseRecordStore reserved(PostgresCluster::kStation, console_);
  Open(reserved);
  const RecordReservation reservation = Reservation("00:1B:21:00:00:40", "", "station-a");
  ASSERT_EQ(reserved.Reserve(reservation, &owner_), RecordStatus::kDone);
  ASSERT_TRUE(cluster_->Pause());
  // The outcome cannot be told; the reservation stays.
  EXPECT_EQ(reserved.RecordOutcome(Outcome(reservation, 0)), RecordStatus::kFailed);
  EXPECT_NE(console_.output().find("ERROR: Couldn't write the outcome to the record database "
                                   "DSN qnt5200_line: "),
            std::string::npos)
      << console_.output();

  const std::string connection = "Driver={PostgreSQL Unicode};Servername=" + cluster_->dir() +
                                 ";Port=5432;Database=qnt5200;UID=qnt5200_station;PWD={se;cret}";
  DatabaseRecordStore down(connection, console_);
  EXPECT_EQ(down.Open(), RecordStatus::kFailed);
  ASSERT_TRUE(cluster_->Resume());
  EXPECT_NE(console_.output().find("ERROR: Couldn't reach the record database " + cluster_->dir() +
                                   ":5432: [08001] "),
            std::string::npos)
      << console_.output();
  EXPECT_EQ(console_.output().find("cret"), std::string::npos);
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:40"), "reserved");
}

}  // namespace
