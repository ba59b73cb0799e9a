// qnt5200-record on a database record: the tables created, a record file brought in (twice is
// the same as once) and written out again, and the check across the lines that share a server.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "format/board_record.h"
#include "support/database_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kLine[] = "odbc:DSN=qnt5200_line";

// Two boards of one line: the first programmed, the second failed in its verify and then
// programmed again with its identity, and a run refused; a file name that SQL would choke on.
constexpr char kLineOneRecord[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format\n"
    "2026-12-08T05:43:31Z,0,qnt5230,eeprom,00:11:22:33:44:55,\"=\"\"000000000001\"\"\",302,"
    "F081EEE6,board.ini,reserved,no,st1,0,,2\n"
    "2026-12-08T05:43:33Z,0,qnt5230,eeprom,00:11:22:33:44:55,\"=\"\"000000000001\"\"\",302,"
    "F081EEE6,board.ini,0,yes,st1,2000,,2\n"
    "2026-12-08T05:44:31Z,1,qnt5230,eeprom,00:11:22:33:44:56,\"=\"\"000000000002\"\"\",302,"
    "016CCB22,\"it's, DROP TABLE qnt5200_run; --.ini\",9,yes,st1,1000,E2P_READ_BLOCK failed!,2\n"
    "2026-12-08T05:45:31Z,1,qnt5230,eeprom,00:11:22:33:44:56,\"=\"\"000000000002\"\"\",302,"
    "016CCB22,board.ini,0,yes,st1,3000,,2\n"
    "2026-12-08T05:46:31Z,1,qnt5230,eeprom,00:11:22:33:44:55,,0,00000000,board.ini,10,refused,"
    "st1,0,MAC address 00:11:22:33:44:55 was programmed already,2\n";

// The same record as the current form writes it: the serial number as plain text, and whether
// each board was written and verified.
constexpr char kLineOneExported[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format,verified\n"
    "2026-12-08T05:43:31Z,0,qnt5230,eeprom,00:11:22:33:44:55,000000000001,302,"
    "F081EEE6,board.ini,reserved,no,st1,0,,3,no\n"
    "2026-12-08T05:43:33Z,0,qnt5230,eeprom,00:11:22:33:44:55,000000000001,302,"
    "F081EEE6,board.ini,0,yes,st1,2000,,3,yes\n"
    "2026-12-08T05:44:31Z,1,qnt5230,eeprom,00:11:22:33:44:56,000000000002,302,"
    "016CCB22,\"it's, DROP TABLE qnt5200_run; --.ini\",9,yes,st1,1000,E2P_READ_BLOCK failed!,3,no\n"
    "2026-12-08T05:45:31Z,1,qnt5230,eeprom,00:11:22:33:44:56,000000000002,302,"
    "016CCB22,board.ini,0,yes,st1,3000,,3,yes\n"
    "2026-12-08T05:46:31Z,1,qnt5230,eeprom,00:11:22:33:44:55,,0,00000000,board.ini,10,refused,"
    "st1,0,MAC address 00:11:22:33:44:55 was programmed already,3,no\n";

// A second line whose range overlapped: it programmed 00:11:22:33:44:56 on a board of its own.
constexpr char kLineTwoRecord[] =
    "2026-12-08T06:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:56,\"=\"\"000000000009\"\"\",302,"
    "016CCB22,line2.ini,0,yes,st2,3000,,2\n";

class RecordToolDatabase : public DatabaseTest {
 protected:
  ProgramRun Tool(const std::string& arguments) {
    return RunRecordTool(arguments, work_.path().string());
  }
  TempDir work_;
};

TEST_F(RecordToolDatabase, ImportTwiceIsOnceAndExportGivesTheRecordBack) {
  WriteFileText(work_.File("line1.csv"), kLineOneRecord);
  ProgramRun run = Tool(std::string("import line1.csv ") + kLine);
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output,
            std::string("Imported line1.csv into ") + kLine + ": 5 runs added, 0 there already\n");
  run = Tool(std::string("import line1.csv ") + kLine);
  EXPECT_EQ(run.output,
            std::string("Imported line1.csv into ") + kLine + ": 0 runs added, 5 there already\n");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_run"), "5");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_identity WHERE state = 'programmed' AND"
                      " mac_address IN ('00:11:22:33:44:55', '00:11:22:33:44:56')"),
            "2");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_identity"), "2");

  run = Tool(std::string("summary ") + kLine);
  EXPECT_NE(run.output.find("Boards programmed: 2\nFailed runs: 1\n  exit code 9"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("  st1: 2 boards in 0:03:00, 40.0 per hour\n"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("  00:11:22:33:44:55 to 00:11:22:33:44:56 (2)\n"), std::string::npos);

  run = Tool(std::string("export ") + kLine + " out.csv");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  // One line per run, in the order the runs started, every column as it was.
  EXPECT_EQ(ReadFileText(work_.File("out.csv")), kLineOneExported);
  EXPECT_EQ(Tool("check out.csv").exit_code, 0);
}

TEST_F(RecordToolDatabase, CheckNamesAnIdentityOfTwoLinesAndTheirOverlappingRanges) {
  WriteFileText(work_.File("line1.csv"), kLineOneRecord);
  WriteFileText(work_.File("line2.csv"), std::string(kBoardRecordHeader) + kLineTwoRecord);
  const std::string ini = ReadFileText(std::string(QNT_SOURCE_DIR) + "/examples/board.ini");
  WriteFileText(work_.File("line1.ini"), ini);
  std::string second = ini;
  second.replace(second.find("CurrentMacAddress = 00:11:22:33:44:55"), 37,
                 "CurrentMacAddress = 00:11:22:33:F0:00");
  second.replace(second.find("MaximumMacAddress = 00:11:22:33:FF:FF"), 37,
                 "MaximumMacAddress = 00:11:22:34:0F:FF");
  WriteFileText(work_.File("line2.ini"), second);
  ASSERT_EQ(Tool(std::string("import line1.csv ") + kLine).exit_code, 0);
  ASSERT_EQ(Tool(std::string("import line2.csv ") + kLine).exit_code, 0);

  const ProgramRun run = Tool(std::string("check ") + kLine + " --ini line1.ini --ini line2.ini");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output,
            "MAC address 00:11:22:33:44:56 is on two boards: programmed by station st1, adapter 1, "
            "at 2026-12-08T05:45:31Z (board.ini), written again by station st2, adapter 0, at "
            "2026-12-08T06:00:00Z (line2.ini)\n"
            "The INI files line1.ini and line2.ini may both give the MAC addresses "
            "00:11:22:33:F0:00 to 00:11:22:33:FF:FF\n"
            "Record odbc:DSN=qnt5200_line: 1 identity on two boards, 0 runs of unknown outcome, 1 "
            "overlapping INI range\n");
}

TEST_F(RecordToolDatabase, InitRefusesTablesThereAlreadyAndNeverShowsThePassword) {
  // The fixture created the tables.
  EXPECT_EQ(Tool("init odbc:DSN=qnt5200_owner").exit_code, 2);
  // Standard error alone, where the complaint goes.
  std::string complaint;
  FILE* pipe = popen(("'" + std::string(QNT_RECORD_TOOL_PATH) +
                      "' summary 'odbc:DSN=qnt5200_line;PWD={wrong;S3cr3tWord}' 2>&1 >/dev/null")
                         .c_str(),
                     "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[512];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) complaint.append(buffer, count);
  EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 2);
  // PostgreSQL's driver says 08001, MariaDB's 28000 (a login refused).
  EXPECT_EQ(complaint.rfind("qnt5200-record: couldn't reach the record database DSN "
                            "qnt5200_line: [",
                            0),
            0u)
      << complaint;
  EXPECT_EQ(complaint.find("S3cr3t"), std::string::npos);
}

}  // namespace
