// file_record_store_test.cpp - the file store's side of the record store's contract: what it
// refuses at Open, the states it reports, a reservation that conflicts, and the turn it holds
// between Open and the reservation or a refusal.
#include <gtest/gtest.h>

#include <string>

#include "format/board_record.h"
#include "platform/user_file.h"
#include "record/record_store.h"
#include "support/capture_console.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kLines[] =
    "2026-12-08T10:00:00Z,0,qnt5231,eeprom,00:11:22:33:44:55,0001,302,F081EEE6,b.ini,reserved,no,"
    "st1,5,,2\n"
    "2026-12-08T10:00:01Z,0,qnt5231,eeprom,00:11:22:33:44:55,0001,302,F081EEE6,b.ini,0,yes,st1,9,,"
    "2\n"
    "2026-12-08T10:00:02Z,1,qnt5231,eeprom,00:11:22:33:44:56,0002,302,016CCB22,b.ini,reserved,no,"
    "st2,5,,2\n"
    "2026-12-08T10:00:03Z,1,qnt5231,eeprom,00:11:22:33:44:56,0002,302,016CCB22,b.ini,9,yes,st2,9,"
    "E2P_READ_BLOCK failed,2\n"
    "2026-12-08T10:00:04Z,2,qnt5231,eeprom,00:11:22:33:44:57,0003,302,016CCB22,b.ini,reserved,no,"
    "st3,5,,2\n";

class FileStore : public ::testing::Test {
 protected:
  void SetUp() override { WriteFileText(path_, std::string(kBoardRecordHeader) + kLines); }
  std::unique_ptr<RecordStore> Make() { return MakeRecordStore({.name = path_}, console_); }
  // True when another station could take the record's turn now.
  bool Free() {
    UserFileLock other;
    return other.Acquire(path_.c_str(), false) == UserFileLock::Result::kLocked;
  }
  BoardRecordLine Line(const std::string& mac, const std::string& serial) {
    return {.time = "2026-12-08T11:00:00Z",
            .adapter = 3,
            .chip = "qnt5231",
            .memory = "eeprom",
            .mac_address = mac,
            .serial_number = serial,
            .station = "st4"};
  }

  TempDir dir_;
  const std::string path_ = dir_.File("record.csv");
  CaptureConsole console_;
};

TEST_F(FileStore, TellsTheStateOfEachIdentityAndWhereItSaysSo) {
  const auto store = Make();
  ASSERT_EQ(store->Open(), RecordStatus::kDone);
  bool may = false;
  ASSERT_EQ(store->MayHoldUnfinished(&may), RecordStatus::kDone);
  EXPECT_TRUE(may);
  RecordKnowledge known;
  ASSERT_EQ(store->LookUp("00:11:22:33:44:55", "0002", &known), RecordStatus::kDone);
  EXPECT_EQ(known.mac.state, IdentityState::kProgrammed);
  EXPECT_EQ(known.mac.where, "line 3 of the record file " + path_);
  EXPECT_EQ(known.serial.state, IdentityState::kFailed);
  EXPECT_EQ(known.serial.mac_address, "00:11:22:33:44:56");
  ASSERT_EQ(store->LookUp("00:11:22:33:44:57", "0009", &known), RecordStatus::kDone);
  EXPECT_EQ(known.mac.state, IdentityState::kReserved);
  EXPECT_EQ(known.serial.state, IdentityState::kFree);
  // The same MAC address with another serial number is read for again.
  ASSERT_EQ(store->LookUp("00:11:22:33:44:57", "0001", &known), RecordStatus::kDone);
  EXPECT_EQ(known.serial.state, IdentityState::kProgrammed);
  EXPECT_EQ(console_.TakeOutput(), "");
}

TEST_F(FileStore, HoldsItsTurnFromOpenToTheReservation) {
  const auto store = Make();
  ASSERT_EQ(store->Open(), RecordStatus::kDone);
  EXPECT_FALSE(Free());
  IdentityOwner owner;
  ASSERT_EQ(
      store->Reserve({.line = Line("00:11:22:33:44:58", "0004"), .serial_counts = true}, &owner),
      RecordStatus::kDone);
  EXPECT_TRUE(Free());
  BoardRecordLine outcome = Line("00:11:22:33:44:58", "0004");
  outcome.written = true;
  ASSERT_EQ(store->RecordOutcome(outcome), RecordStatus::kDone);
  BoardRecordLine reserved = Line("00:11:22:33:44:58", "0004");
  reserved.reserved = true;
  EXPECT_EQ(ReadFileText(path_), std::string(kBoardRecordHeader) + kLines +
                                     FormatBoardRecordLine(reserved) +
                                     FormatBoardRecordLine(outcome));
}

TEST_F(FileStore, AReservationOfAnIdentityHeldElsewhereIsAConflictUnlessItIsARework) {
  const std::string before = ReadFileText(path_);
  {
    const auto store = Make();
    ASSERT_EQ(store->Open(), RecordStatus::kDone);
    IdentityOwner owner;
    EXPECT_EQ(
        store->Reserve({.line = Line("00:11:22:33:44:60", "0002"), .serial_counts = true}, &owner),
        RecordStatus::kConflict);
    EXPECT_EQ(owner.mac_address, "00:11:22:33:44:56");
    EXPECT_EQ(owner.where, "line 5 of the record file " + path_);
    EXPECT_TRUE(Free());
    EXPECT_EQ(ReadFileText(path_), before);
  }
  // A serial number that does not count is no conflict; a reworked board keeps its own identity.
  const auto store = Make();
  ASSERT_EQ(store->Open(), RecordStatus::kDone);
  IdentityOwner owner;
  EXPECT_EQ(store->Reserve({.line = Line("00:11:22:33:44:60", "0002")}, &owner),
            RecordStatus::kDone);
  ASSERT_TRUE(Free());
  const auto rework = Make();
  ASSERT_EQ(rework->Open(), RecordStatus::kDone);
  EXPECT_EQ(rework->Reserve(
                {.line = Line("00:11:22:33:44:56", "0002"), .serial_counts = true, .rework = true},
                &owner),
            RecordStatus::kDone);
}

TEST_F(FileStore, OpenRefusesAnInputFileAndARecordThatTakesNoLine) {
  const std::string ini = dir_.File("board.ini");
  WriteFileText(ini, "[MacAddress]\n");
  const auto same = MakeRecordStore({.name = ini, .input_files = {ini}}, console_);
  EXPECT_EQ(same->Open(), RecordStatus::kFailed);
  EXPECT_EQ(console_.TakeOutput(),
            "ERROR: The record file " + ini + " is the file the board is programmed from\n");
  const std::string nowhere = dir_.File("missing/record.csv");
  const auto missing = MakeRecordStore({.name = nowhere}, console_);
  EXPECT_EQ(missing->Open(), RecordStatus::kFailed);
  EXPECT_EQ(missing->Describe(), "the record file " + nowhere);
  EXPECT_EQ(console_.TakeOutput(), "ERROR: Couldn't write the record file " + nowhere + "\n");
}

}  // namespace
