// identity_sent_flow_test.cpp - what became of a run's identity when its write did not succeed:
// never sent (the memory could not be opened for writing), sent and the write failed, sent and not
// verified. Only a sent identity is used up, and the messages and the record say which it was.
#include "app/board_record_flow.h"

namespace {

const std::string kIdentity = "MAC address 00:11:22:33:44:55 and serial number 000000000001";

TEST_F(BoardRecordRun, AnEepromThatCannotBeOpenedForWritingUsesUpNothing) {
  const std::string ini_text = ReadFileText(ini_);
  bench_.FailStatus(kCmdE2pCommand, 1);
  EXPECT_EQ(Program(0), 9);
  EXPECT_EQ(Output(),
            "ERROR: E2P_COMMAND failed!    status:Access failed\n"
            "Failed to program device eeprom\n"
            "Nothing carrying " +
                kIdentity + " was sent to the board, so it is not used up\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  EXPECT_EQ(ReadFileText(ini_), ini_text);
  // One line, the outcome: nothing was reserved, nothing written.
  EXPECT_EQ(Record(),
            std::string(kBoardRecordHeader) + Line(0, "00:11:22:33:44:55", "000000000001", 9, false,
                                                   "E2P_COMMAND failed!    status:Access failed"));
  // The next board gets that identity.
  EXPECT_EQ(Program(1), 0);
  EXPECT_EQ(bench_.Eeprom(1), ImageOf(ExampleIniText()));
}

TEST_F(BoardRecordRun, AnOtpBodyThatCannotBeOpenedForWritingUsesUpNothing) {
  // A board of the same kind shows where the body's write opens: the OTP_CONFIGURE right before
  // the second OTP_WRITE_BLOCK (the OTP read, then the signature's write, each opened and closed).
  ASSERT_EQ(Run({"-X", "2", "-O", "-w", "-i", ini_, "-C", "YES"}), 0);
  uint32_t configures = 0;
  uint32_t writes = 0;
  for (const emu::LogEntry& entry : bench_.Log()) {
    if (entry.command == kCmdOtpWriteBlock && ++writes == 2) break;
    if (entry.command == kCmdOtpConfigure) ++configures;
  }
  ASSERT_EQ(configures, 5u);
  bench_.ClearLog();

  const std::string ini_text = ReadFileText(ini_);
  bench_.FailStatus(kCmdOtpConfigure, 1, configures - 1);
  EXPECT_EQ(Run({"-O", "-w", "-i", ini_, "-s", "-C", "YES", "-t", record_}), 12);
  EXPECT_EQ(Output(),
            "ERROR: OTP_CONFIGURE failed! status:Access failed\n"
            "Failed to program device OTP offset 1, size = 301\n"
            "Nothing carrying " +
                kIdentity + " was sent to the board, so it is not used up\n");
  EXPECT_EQ(bench_.LogOf(kCmdOtpWriteBlock).size(), 1u);  // the signature alone
  EXPECT_EQ(ReadFileText(ini_), ini_text);
  const std::string record = Record();
  EXPECT_EQ(record.find("reserved"), std::string::npos) << record;
  EXPECT_NE(record.find(",12,no,"), std::string::npos) << record;
}

TEST_F(BoardRecordRun, AFailedWriteUsesUpItsIdentityAndSaysItFailed) {
  bench_.FailStatus(kCmdE2pWriteBlock, 1);
  EXPECT_EQ(Program(0), 9);
  EXPECT_EQ(Output(),
            "ERROR: E2P_WRITE_BLOCK failed!    status:Access failed\n"
            "Failed to program device eeprom\n"
            "A write request carrying " +
                kIdentity +
                " was sent to the board, and the write failed: it may have reached the board, "
                "so no other board is given it; programming this board again with the record "
                "file keeps it if the board holds it\n");
  // The board was left blank: the next run on it takes the next identity, and the one sent is
  // never given to another board, even with the INI file set back.
  EXPECT_EQ(Program(0), 0);
  WriteFileText(ini_, ExampleIniText());
  EXPECT_EQ(Program(1), 10);
  EXPECT_EQ(Record(), std::string(kBoardRecordHeader) +
                          Lines(0, "00:11:22:33:44:55", "000000000001", 9,
                                "E2P_WRITE_BLOCK failed!    status:Access failed") +
                          Lines(0, "00:11:22:33:44:56", "000000000002", 0) +
                          "T,1,qnt5231,eeprom,00:11:22:33:44:55,\"=\"\"000000000001\"\"\",0,"
                          "00000000," +
                          ini_ +
                          ",10,refused,S,D,MAC address 00:11:22:33:44:55 was sent to a board "
                          "already by a run that did not succeed: line 3 of the record file " +
                          record_ + "; only that board may be programmed with it again,2\n");
}

TEST_F(BoardRecordRun, AnUnverifiedWriteSaysSo) {
  bench_.FailStatus(kCmdE2pReadBlock, 1);  // the verify read
  EXPECT_EQ(Program(0), 9);
  const std::string output = Output();
  EXPECT_NE(output.find("The board was written with " + kIdentity +
                        ", but the write was not verified: no other board is given it; "
                        "programming this board again with the record file keeps it\n"),
            std::string::npos)
      << output;
}

}  // namespace
