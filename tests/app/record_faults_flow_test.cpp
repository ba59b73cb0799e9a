// record_faults_flow_test.cpp - a record that stops taking lines in the middle of a run, and the
// guard of the serial number: whatever fails, an identity is never handed out twice and a run that
// could not record its outcome does not end 0.
#include "app/board_record_flow.h"
#include "support/file_faults.h"

namespace {

class RecordFaults : public BoardRecordRun {
 protected:
  // Fills the record with lines of other boards until it is bigger than every other file the
  // run writes (the INI file, the emulator's state), so that a limit on the size of files can
  // stop the record alone.
  void PadRecord() {
    std::string lines = kBoardRecordHeader;
    for (int board = 0; board < 800; ++board) {
      char mac[18];
      std::snprintf(mac, sizeof mac, "02:00:00:00:%02X:%02X", board >> 8, board & 0xFF);
      lines += "2026-12-01T00:00:00Z,0,qnt5231,eeprom," + std::string(mac) + ",,302,00000000,x,0," +
               "yes,other,1,,2\n";
    }
    WriteFileText(record_, lines);
  }
  // The size of the lines a run on board 2 appends, from a run on board 1: they differ in the
  // adapter and the identity alone, which keep their widths.
  size_t LinesOfARun() {
    const size_t before = ReadFileText(record_).size();
    EXPECT_EQ(Program(1), 0) << Output();
    return ReadFileText(record_).size() - before;
  }
};

TEST_F(RecordFaults, ARecordThatTakesNoReservationLineStopsTheWriteAndGivesTheIniFileBack) {
  PadRecord();
  const std::string ini_text = ReadFileText(ini_);
  const std::string record = ReadFileText(record_);
  const std::vector<uint8_t> eeprom = bench_.Eeprom(0);
  int exit_code = -1;
  {
    const FileSizeLimit limit(record.size());
    exit_code = Program(0);
  }
  EXPECT_EQ(exit_code, 10);
  EXPECT_EQ(Output(), "ERROR: Couldn't write the record file " + record_ +
                          "\n"
                          "ERROR: Couldn't write the record file " +
                          record_ + "\n");
  EXPECT_EQ(bench_.Eeprom(0), eeprom);
  EXPECT_EQ(ReadFileText(ini_), ini_text);
  EXPECT_EQ(ReadFileText(record_), record);
  // The identity was given back: the next run, record working again, programs it.
  EXPECT_EQ(Program(0), 0);
  EXPECT_EQ(bench_.Eeprom(0), ImageOf(ExampleIniText()));
}

TEST_F(RecordFaults, ARunWhoseOutcomeCannotBeRecordedDoesNotEndZero) {
  PadRecord();
  const size_t run_lines = LinesOfARun();
  const std::string record = ReadFileText(record_);
  const size_t outcome = record.size() - record.rfind('\n', record.size() - 2) - 1;
  ASSERT_LT(outcome, run_lines - outcome);  // the outcome line is the shorter one
  int exit_code = -1;
  {
    // Room for the reservation line, not for the outcome line after it.
    const FileSizeLimit limit(record.size() + run_lines - 1);
    exit_code = Program(2);
  }
  EXPECT_EQ(exit_code, 10);
  EXPECT_EQ(Output(),
            "The current device EEPROM was programmed with 302 bytes\n"
            "Updated ini file\n"
            "ERROR: Couldn't write the record file " +
                record_ + "\n");
  // The board has its identity, and no other board gets it (the record holds its reservation, and
  // what part of the outcome line the disk took).
  EXPECT_EQ(bench_.Eeprom(2)[6], 0x56);
  WriteFileText(ini_, ExampleIniWith("00:11:22:33:44:55", "00:11:22:33:44:56"));
  EXPECT_EQ(Program(0), 10);
  const std::string refused = Output();
  EXPECT_EQ(refused.rfind("ERROR: MAC address 00:11:22:33:44:56 was ", 0), 0u) << refused;
}

TEST_F(RecordFaults, ASteppingSerialNumberIsGuardedAndAFixedOneIsNot) {
  ASSERT_EQ(Program(0), 0);
  // A new MAC address with the serial number the first board took.
  const std::string reused_serial = ExampleIniWith("00:11:22:33:44:55", "00:11:22:33:45:55");
  WriteFileText(ini_, reused_serial);
  EXPECT_EQ(Program(1), 10);
  EXPECT_EQ(Output(),
            "ERROR: Serial number 000000000001 was programmed already: line 3 of the "
            "record file " +
                record_ + "\n");
  EXPECT_EQ(ReadFileText(ini_), reused_serial);

  // A serial number that does not step is every board's: only the MAC address is guarded.
  std::string fixed = reused_serial;
  fixed.replace(fixed.find("SerialNumberIncrement = 1"), 25, "SerialNumberIncrement = 0");
  WriteFileText(ini_, fixed);
  EXPECT_EQ(Program(1), 0) << Output();
  EXPECT_EQ(Program(2), 0) << Output();
  EXPECT_EQ(bench_.Eeprom(2)[5], 0x45);
  EXPECT_EQ(bench_.Eeprom(2)[6], 0x56);
}

}  // namespace
