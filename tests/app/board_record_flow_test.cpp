// board_record_flow_test.cpp - whole -w runs with -t on emulated boards: they fill the record,
// an identity it shows sent to a board is refused for any other before anything is written, and
// a board that a failed run wrote keeps its identity.
#include "app/board_record_flow.h"
#include "emu/emu_clock.h"

namespace {

TEST_F(BoardRecordRun, SteppedBoardsFillTheRecordAndAProgrammedMacAddressIsRefused) {
  for (int adapter = 0; adapter < 3; ++adapter) ASSERT_EQ(Program(adapter), 0) << Output();
  const std::string three = std::string(kBoardRecordHeader) +
                            Lines(0, "00:11:22:33:44:55", "000000000001", 0) +
                            Lines(1, "00:11:22:33:44:56", "000000000002", 0) +
                            Lines(2, "00:11:22:33:44:57", "000000000003", 0);
  EXPECT_EQ(Record(), three);

  // The INI file set back to the first board's MAC address: refused before anything is written.
  const std::string rewound =
      ExampleIniWith("CurrentSerialNumber = 000000000001", "CurrentSerialNumber = 000000000004");
  WriteFileText(ini_, rewound);
  const std::vector<uint8_t> eeprom = bench_.Eeprom(1);
  bench_.ClearLog();
  EXPECT_EQ(Program(1), 10);
  EXPECT_EQ(Output(),
            "ERROR: MAC address 00:11:22:33:44:55 was programmed already: line 3 of "
            "the record file " +
                record_ + "\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  EXPECT_EQ(bench_.Eeprom(1), eeprom);
  EXPECT_EQ(ReadFileText(ini_), rewound);
  // The refusal is recorded, with nothing written and the message that says why.
  EXPECT_EQ(Record(), three +
                          "T,1,qnt5231,eeprom,00:11:22:33:44:55,000000000004,0,"
                          "00000000," +
                          ini_ +
                          ",10,refused,S,D,MAC address 00:11:22:33:44:55 was programmed already: "
                          "line 3 of the record file " +
                          record_ + ",3,no\n");
}

// A line that cannot be read may be the last word on the identity it names: no board gets it.
TEST_F(BoardRecordRun, AnUnreadableLineThatNamesTheIdentityKeepsItFromEveryBoard) {
  const std::string damaged_time = std::string(kBoardRecordHeader) +
                                   "2026-13-45T99:00:00Z,0,qnt5231,eeprom,00-11-22-33-44-55,"
                                   "000000000009,302,F081EEE6,b.ini,0,yes,st1,5,,3,yes\n";
  WriteFileText(record_, damaged_time);
  const std::vector<uint8_t> eeprom = bench_.Eeprom(0);
  const std::string ini = ReadFileText(ini_);
  EXPECT_EQ(Program(0), 10);
  EXPECT_EQ(Output(),
            "WARNING: Line 2 of the record file " + record_ +
                " cannot be read; it is passed over\n"
                "ERROR: MAC address 00:11:22:33:44:55 is named by line 2 of the record file " +
                record_ +
                ", which cannot be read: what became of it is unknown, so no board is given it; "
                "correct that line\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  EXPECT_EQ(bench_.Eeprom(0), eeprom);
  EXPECT_EQ(ReadFileText(ini_), ini);
  // A line cut short that still holds the serial number, as form 2 wrote it, in a field of its own.
  WriteFileText(record_, std::string(kBoardRecordHeader) +
                             "2026-12-08T10:00:00Z,\"=\"\"000000000001\"\"\"\n");
  bench_.ClearLog();
  EXPECT_EQ(Program(0), 10);
  EXPECT_NE(Output().find("ERROR: Serial number 000000000001 is named by line 2 of the record "),
            std::string::npos);
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
}

TEST_F(BoardRecordRun, AWriteThatFailedUsesUpItsIdentity) {
  bench_.FailStatus(kCmdE2pWriteBlock, 1);
  EXPECT_EQ(Program(0), 9);
  // The board was left blank: it is a new board to the next run, which takes the next identity.
  EXPECT_EQ(Program(0), 0);
  EXPECT_EQ(Record(), std::string(kBoardRecordHeader) +
                          Lines(0, "00:11:22:33:44:55", "000000000001", 9,
                                "E2P_WRITE_BLOCK failed!    status:Access failed") +
                          Lines(0, "00:11:22:33:44:56", "000000000002", 0));
}

TEST_F(BoardRecordRun, ABoardAFailedRunWroteKeepsItsIdentityWhenProgrammedAgain) {
  bench_.FailStatus(kCmdE2pReadBlock, 1);  // the verify read: the board holds the image
  EXPECT_EQ(Program(0), 9);
  bench_.ClearLog();
  EXPECT_EQ(Program(0), 0);
  EXPECT_EQ(Output().rfind("The board holds MAC address 00:11:22:33:44:55, which a run that did "
                           "not succeed gave it (line 3 of",
                           0),
            0u);
  EXPECT_EQ(bench_.LogOf(kCmdE2pReadBlock).size(), 2u);  // the one read before, the verify
  EXPECT_EQ(bench_.Eeprom(0), ImageOf(ExampleIniText()));
  // It took no new identity: the next board gets the one the INI file holds.
  EXPECT_EQ(Program(1), 0);
  EXPECT_EQ(Record(), std::string(kBoardRecordHeader) +
                          Lines(0, "00:11:22:33:44:55", "000000000001", 9,
                                "E2P_READ_BLOCK failed!    status:Access failed") +
                          Lines(0, "00:11:22:33:44:55", "000000000001", 0) +
                          Lines(1, "00:11:22:33:44:56", "000000000002", 0));
  // Another board is never given it, even with the INI file set back.
  WriteFileText(ini_, ExampleIniText());
  EXPECT_EQ(Program(2), 10);
}

TEST_F(BoardRecordRun, TheBoardGivenTheLastIdentityOfTheRangeIsRecordedAsVerified) {
  WriteFileText(ini_, ExampleIniWith("MaximumMacAddress = 00:11:22:33:FF:FF",
                                     "MaximumMacAddress = 00:11:22:33:44:55"));
  EXPECT_EQ(Program(0), 10);
  std::string lines = Lines(0, "00:11:22:33:44:55", "000000000001", 10,
                            "Couldn't increase any Mac or serial number.");
  lines.replace(lines.size() - 3, 3, "yes\n");
  EXPECT_EQ(Record(), kBoardRecordHeader + lines);
}

TEST_F(BoardRecordRun, AnImageFileGivesItsOwnIdentity) {
  int32_t length = 0;
  std::vector<uint8_t> image = ImageOf(ExampleIniText(), &length);
  image.resize(static_cast<size_t>(length));
  const std::string file = File("image.bin");
  WriteFileText(file, std::string(image.begin(), image.end()));
  EXPECT_EQ(Run({"-w", "-b", file, "-t", record_}), 0);
  EXPECT_EQ(Run({"-X", "1", "-w", "-b", file, "-t", record_}), 10);
  std::string lines = Lines(0, "00:11:22:33:44:55", "000000000001", 0);
  for (size_t at = lines.find(ini_); at != std::string::npos; at = lines.find(ini_)) {
    lines.replace(at, ini_.size(), file);
  }
  const std::string refused =
      "T,1,qnt5231,eeprom,00:11:22:33:44:55,000000000001,0,"
      "00000000," +
      file +
      ",10,refused,S,D,MAC address 00:11:22:33:44:55 was programmed "
      "already: line 3 of the record file " +
      record_ + ",3,no\n";
  EXPECT_EQ(Record(), kBoardRecordHeader + lines + refused);
}

TEST_F(BoardRecordRun, AnOtpWriteIsRecordedAsOtp) {
  EXPECT_EQ(Run({"-O", "-w", "-i", ini_, "-C", "YES", "-t", record_}), 0) << Output();
  // The OTP image differs from the EEPROM one in its signature byte alone.
  std::vector<uint8_t> image = bench_.Otp();
  image.resize(302);
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", Crc32(image.data(), image.size()));
  std::string lines;
  for (const int result : {-1, 0}) {
    std::string line = Line(0, "00:11:22:33:44:55", "000000000001", result);
    line.replace(line.find("eeprom"), 6, "otp");
    line.replace(line.find(",302,") + 5, 8, crc);
    lines += line;
  }
  EXPECT_EQ(Record(), kBoardRecordHeader + lines);
}

TEST_F(BoardRecordRun, CommandLineAndUnwritableRecord) {
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t"}), 3);
  EXPECT_EQ(Output(),
            "ERROR: No record file name is specified after -t\n"
            "ERROR: Parameter Error (use -h for help)\n");
  EXPECT_EQ(Run({"-r", "-t", record_}), 3);
  EXPECT_EQ(Output(),
            "ERROR: Option -t needs option -w\n"
            "ERROR: Parameter Error (use -h for help)\n");

  const std::string ini_text = ReadFileText(ini_);
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t", ini_}), 10);
  EXPECT_EQ(Output(),
            "ERROR: The record file " + ini_ + " is the file the board is programmed from\n");
  EXPECT_EQ(ReadFileText(ini_), ini_text);

  const std::string nowhere = File("missing/record.csv");
  bench_.ClearLog();
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t", nowhere}), 10);
  EXPECT_EQ(Output(), "ERROR: Couldn't write the record file " + nowhere + "\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
}

// The duration column of the record's last line.
std::string LastDuration(const std::string& record) {
  const size_t start = record.rfind('\n', record.size() - 2) + 1;
  size_t field = start;
  for (int column = 0; column < 12; ++column) field = record.find(',', field) + 1;
  return record.substr(field, record.find(',', field) - field);
}

TEST_F(BoardRecordRun, TheDurationIsTheRunsOwnWhateverTheAdaptersClockShows) {
  ASSERT_EQ(Program(0), 0);
  const std::string first = LastDuration(ReadFileText(record_));
  bench_.Update([](emu::AdapterState& state) { emu::AdvanceAdapterClock(state, 3600000); });
  bench_.Update([](emu::AdapterState& state) { emu::AdvanceAdapterClock(state, 3600000); }, 1);
  bench_.Update([](emu::AdapterState& state) { emu::AdvanceAdapterClock(state, 3600000); }, 2);
  ASSERT_EQ(Program(1), 0);
  EXPECT_EQ(LastDuration(ReadFileText(record_)), first);
}

}  // namespace
