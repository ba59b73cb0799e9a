// shared_record_e2e_test.cpp - two stations sharing one record: the second run waits while the
// first holds the record, and then judges its identity by what the first one wrote into it.
#include <gtest/gtest.h>

#include <string>

#include "platform/user_file.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kHeader[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format\n";

TEST(SharedRecord, SecondRunWaitsForTheFirstAndSeesWhatItRecorded) {
  TempDir board;
  TempDir work;
  ASSERT_EQ(RunEmuTool(board.path().string(), "create --chip 0x52310002").exit_code, 0);
  WriteFileText(work.File("board.ini"), ReadFileText(QNT_SOURCE_DIR "/examples/board.ini"));
  const std::string record = work.File("record.csv");
  WriteFileText(record, kHeader);

  // The first station holds the record while it reserves the identity the INI file gives.
  UserFileLock first;
  ASSERT_EQ(first.Acquire(record.c_str(), false), UserFileLock::Result::kLocked);
  bool waited = false;
  const ProgramRun run = RunUtilityActingOn(
      board.path().string(), "-w -i board.ini -s -t record.csv", work.path().string(),
      "waiting for it",
      [&] {
        WriteFileText(record, std::string(kHeader) +
                                  "2026-12-08T10:00:00Z,0,qnt5231,eeprom,00:11:22:33:44:55,"
                                  "000000000001,302,F081EEE6,board.ini,0,yes,st1,900,,2\n");
        first.Release();
      },
      &waited);
  EXPECT_TRUE(waited) << run.output;
  EXPECT_EQ(run.exit_code, 10) << run.output;
  const std::string& output = run.output;
  EXPECT_NE(output.find("The record file record.csv is in use by another run; waiting for it\n"
                        "ERROR: MAC address 00:11:22:33:44:55 was programmed already: line 2 of "
                        "the record file record.csv\n"),
            std::string::npos)
      << output;
  EXPECT_EQ(RunEmuTool(board.path().string(), "dump eeprom").output, std::string(512, '\xFF'));
}

}  // namespace
