// The database record's transactions against a real server, on each engine the record supports.
#include "record/database_record_store.h"

#include <gtest/gtest.h>

#include "record/record_schema.h"
#include "support/capture_console.h"
#include "support/database_server.h"

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
  DatabaseRecordStore first(DatabaseServer::kStation, console_);
  DatabaseRecordStore second(DatabaseServer::kStation, console_);
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
  owner_ = {};
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

// A conflict names the holder of what was refused: the MAC address's when it is held, else the
// serial number's.
TEST_F(DatabaseRecordStoreTest, AConflictNamesTheHolderOfWhatWasRefused) {
  DatabaseRecordStore a(DatabaseServer::kStation, console_);
  DatabaseRecordStore b(DatabaseServer::kStation, console_);
  Open(a);
  Open(b);
  ASSERT_EQ(a.Reserve(Reservation("00:1B:21:00:01:01", "0101", "station-a"), &owner_),
            RecordStatus::kDone);
  ASSERT_EQ(a.Reserve(Reservation("00:1B:21:00:01:03", "0103", "station-c"), &owner_),
            RecordStatus::kDone);
  owner_ = {};
  EXPECT_EQ(b.Reserve(Reservation("00:1B:21:00:01:01", "0103", "station-b"), &owner_),
            RecordStatus::kConflict);
  EXPECT_EQ(owner_.station, "station-a");
  owner_ = {};
  EXPECT_EQ(b.Reserve(Reservation("00:1B:21:00:01:02", "0103", "station-b"), &owner_),
            RecordStatus::kConflict);
  EXPECT_EQ(owner_.station, "station-c");
  EXPECT_EQ(owner_.mac_address, "00:1B:21:00:01:03");
}

// A refused run's row stands on its own once the refused reservation is over: the transaction
// rolled back, autocommit back on, and another connection sees the row.
TEST_F(DatabaseRecordStoreTest, ARunRefusedAtItsReservationIsRecordedForGood) {
  DatabaseRecordStore holder(DatabaseServer::kStation, console_);
  Open(holder);
  const RecordReservation held = Reservation("00:1B:21:00:02:01", "0201", "station-a");
  ASSERT_EQ(holder.Reserve(held, &owner_), RecordStatus::kDone);
  {
    DatabaseRecordStore refused(DatabaseServer::kStation, console_);
    Open(refused);
    RecordReservation reservation = Reservation("00:1B:21:00:02:01", "0202", "station-b");
    ASSERT_EQ(refused.Reserve(reservation, &owner_), RecordStatus::kConflict);
    BoardRecordLine line = reservation.line;
    line.reserved = false;
    line.refused = true;
    line.result = 10;
    EXPECT_EQ(refused.RecordOutcome(line), RecordStatus::kDone) << console_.output();
  }
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line WHERE station = 'station-b'"), "1");
  // The serial number the refused run meant to take is still free.
  RecordKnowledge knowledge;
  ASSERT_EQ(holder.LookUp("00:1B:21:00:02:09", "0202", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.serial.state, IdentityState::kFree);
}

// What a run asks before its reservation: a look-up answered again only for the same pair, the
// outcome's state from whether the board was verified, and a failed board found for its rework.
TEST_F(DatabaseRecordStoreTest, LookUpsAndOutcomesTellEachIdentitysState) {
  DatabaseRecordStore a(DatabaseServer::kStation, console_);
  DatabaseRecordStore b(DatabaseServer::kStation, console_);
  Open(a);
  Open(b);
  RecordKnowledge knowledge;
  ASSERT_EQ(b.LookUp("00:1B:21:00:03:09", "0309", &knowledge), RecordStatus::kDone);
  // The last board of a range: verified, though its run ends with 10 (no next identity).
  const RecordReservation last = Reservation("00:1B:21:00:03:01", "0301", "station-a");
  ASSERT_EQ(a.Reserve(last, &owner_), RecordStatus::kDone);
  BoardRecordLine outcome = Outcome(last, 10);
  outcome.verified = true;
  ASSERT_EQ(a.RecordOutcome(outcome), RecordStatus::kDone);
  const RecordReservation failed = Reservation("00:1B:21:00:03:02", "0302", "station-a");
  ASSERT_EQ(a.Reserve(failed, &owner_), RecordStatus::kDone);
  ASSERT_EQ(a.RecordOutcome(Outcome(failed, 9)), RecordStatus::kDone);

  // The same MAC address with another serial number is asked of the server again.
  ASSERT_EQ(b.LookUp("00:1B:21:00:03:09", "0301", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.serial.state, IdentityState::kProgrammed);
  EXPECT_EQ(knowledge.serial.mac_address, "00:1B:21:00:03:01");
  ASSERT_EQ(b.LookUp("00:1B:21:00:03:01", "", &knowledge), RecordStatus::kDone);
  EXPECT_EQ(knowledge.mac.state, IdentityState::kProgrammed);
  IdentityOwner unfinished;
  ASSERT_EQ(b.FindUnfinished({"00:1B:21:00:03:01", "00:1B:21:00:03:02"}, &unfinished),
            RecordStatus::kDone);
  EXPECT_EQ(unfinished.state, IdentityState::kFailed);
  EXPECT_EQ(unfinished.mac_address, "00:1B:21:00:03:02");
}

// A value the server refuses for its own reasons (one too long for its column, class 22) fails the
// run as an error: it is no conflict, and names no holder.
TEST_F(DatabaseRecordStoreTest, AValueTooLongIsAFailureNotAConflict) {
  DatabaseRecordStore store(DatabaseServer::kStation, console_);
  Open(store);
  EXPECT_EQ(
      store.Reserve(Reservation("00:1B:21:00:04:01", std::string(300, '7'), "station-a"), &owner_),
      RecordStatus::kFailed);
  EXPECT_NE(console_.output().find("ERROR: Couldn't write the record database DSN qnt5200_line: "
                                   "[22001] "),
            std::string::npos)
      << console_.output();
}

TEST_F(DatabaseRecordStoreTest, ReworkTakesOverAFailedIdentityButNeverAProgrammedOne) {
  RecordReservation reservation = Reservation("00:1B:21:00:00:10", "0010", "station-a");
  {
    DatabaseRecordStore failed(DatabaseServer::kStation, console_);
    Open(failed);
    ASSERT_EQ(failed.Reserve(reservation, &owner_), RecordStatus::kDone);
    ASSERT_EQ(failed.RecordOutcome(Outcome(reservation, 9)), RecordStatus::kDone);
  }
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:10"), "failed");
  reservation.rework = true;
  DatabaseRecordStore rework(DatabaseServer::kStation, console_);
  Open(rework);
  bool may = false;
  ASSERT_EQ(rework.MayHoldUnfinished(&may), RecordStatus::kDone);
  EXPECT_TRUE(may);
  ASSERT_EQ(rework.Reserve(reservation, &owner_), RecordStatus::kDone);
  ASSERT_EQ(rework.RecordOutcome(Outcome(reservation, 0)), RecordStatus::kDone);
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:10"), "programmed");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line WHERE result = '9' AND written = 'yes'"),
            "1");

  DatabaseRecordStore again(DatabaseServer::kStation, console_);
  Open(again);
  EXPECT_EQ(again.Reserve(reservation, &owner_), RecordStatus::kConflict);
  EXPECT_EQ(owner_.state, IdentityState::kProgrammed);
}

TEST_F(DatabaseRecordStoreTest, ARunWithoutReservationLeavesEveryIdentityAsItWas) {
  DatabaseRecordStore holder(DatabaseServer::kStation, console_);
  DatabaseRecordStore refused(DatabaseServer::kStation, console_);
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
  DatabaseRecordStore store(DatabaseServer::kStation, console_);
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
  DatabaseRecordStore reserved(DatabaseServer::kStation, console_);
  Open(reserved);
  const RecordReservation reservation = Reservation("00:1B:21:00:00:40", "", "station-a");
  ASSERT_EQ(reserved.Reserve(reservation, &owner_), RecordStatus::kDone);
  ASSERT_TRUE(server_->Pause());
  // The outcome cannot be told; the reservation stays.
  EXPECT_EQ(reserved.RecordOutcome(Outcome(reservation, 0)), RecordStatus::kFailed);
  EXPECT_NE(console_.output().find("ERROR: Couldn't write the outcome to the record database "
                                   "DSN qnt5200_line: "),
            std::string::npos)
      << console_.output();

  // Neither the message nor the driver's words quoted in it show a password, however written.
  std::vector<std::string> connections = {server_->DriverConnection("{se;cret}}x}")};
  if (server_->engine() == "postgresql") {
    connections.push_back("Driver={PostgreSQL Unicode};pqopt={host=" + server_->dir() +
                          " port=5432 dbname=qnt5200 user=qnt5200_station password=hunter2}");
  }
  for (const std::string& connection : connections) {
    DatabaseRecordStore down(connection, console_);
    EXPECT_EQ(down.Open(), RecordStatus::kFailed);
  }
  ASSERT_TRUE(server_->Resume());
  EXPECT_NE(console_.output().find("ERROR: Couldn't reach the record database qnt5200 on "),
            std::string::npos)
      << console_.output();
  if (server_->engine() == "postgresql") {
    EXPECT_NE(console_.output().find("ERROR: Couldn't reach the record database of the "
                                     "connection string in QNT5200_RECORD: "),
              std::string::npos)
        << console_.output();
  }
  EXPECT_EQ(console_.output().find("cret"), std::string::npos);
  EXPECT_EQ(console_.output().find("hunter2"), std::string::npos);
  EXPECT_EQ(IdentityStateText("00:1B:21:00:00:40"), "reserved");
}

}  // namespace
