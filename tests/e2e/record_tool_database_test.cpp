// qnt5200-record on a database record: the tables created, a record file brought in (twice is
// the same as once) and written out again, and the check across the lines that share a server.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <regex>

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

// The tables of version 1, as its init made them, with a programmed board, a reworked one, and a
// run that died after its reservation.
constexpr const char* kVersionOne[] = {
    "DROP TABLE qnt5200_line",
    "DROP TABLE qnt5200_mac",
    "DROP TABLE qnt5200_takeover",
    "DROP TABLE qnt5200_serial",
    "DROP TABLE qnt5200_schema",
    "CREATE TABLE qnt5200_schema (version INTEGER NOT NULL)",
    "CREATE TABLE qnt5200_identity (mac_address VARCHAR(17) NOT NULL PRIMARY KEY, state"
    " VARCHAR(12) NOT NULL, run_id VARCHAR(400) NOT NULL, station VARCHAR(255) NOT NULL, adapter"
    " INTEGER NOT NULL, reserved_at VARCHAR(20) NOT NULL, updated_at VARCHAR(20) NOT NULL)",
    "CREATE INDEX qnt5200_identity_state ON qnt5200_identity (state)",
    "CREATE TABLE qnt5200_serial (serial_number VARCHAR(255) NOT NULL PRIMARY KEY, mac_address"
    " VARCHAR(17) NOT NULL, run_id VARCHAR(400) NOT NULL)",
    "CREATE INDEX qnt5200_serial_mac ON qnt5200_serial (mac_address)",
    "CREATE TABLE qnt5200_run (run_id VARCHAR(400) NOT NULL PRIMARY KEY, started_at VARCHAR(20)"
    " NOT NULL, updated_at VARCHAR(20) NOT NULL, adapter INTEGER NOT NULL, chip VARCHAR(40) NOT"
    " NULL, memory VARCHAR(8) NOT NULL, mac_address VARCHAR(17) NOT NULL, serial_number"
    " VARCHAR(255) NOT NULL, image_length INTEGER NOT NULL, crc32 VARCHAR(8) NOT NULL, file_name"
    " VARCHAR(4000) NOT NULL, result VARCHAR(12) NOT NULL, written VARCHAR(8) NOT NULL, station"
    " VARCHAR(255) NOT NULL, duration_ms BIGINT NOT NULL, error VARCHAR(4000) NOT NULL)",
    "INSERT INTO qnt5200_schema VALUES (1)",
    "INSERT INTO qnt5200_identity VALUES ('00:11:22:33:44:55', 'programmed', 'r1', 'st1', 0,"
    " '2026-12-08T05:43:31Z', '2026-12-08T05:43:33Z'), ('00:11:22:33:44:56', 'programmed', 'r3',"
    " 'st1', 1, '2026-12-08T05:45:31Z', '2026-12-08T05:45:33Z'), ('00:11:22:33:44:57',"
    " 'reserved', 'r4', 'st2', 0, '2026-12-08T05:46:31Z', '2026-12-08T05:46:31Z')",
    "INSERT INTO qnt5200_serial VALUES ('0001', '00:11:22:33:44:55', 'r1'), ('0002',"
    " '00:11:22:33:44:56', 'r2'), ('0003', '00:11:22:33:44:57', 'r4')",
    "INSERT INTO qnt5200_run VALUES ('r1', '2026-12-08T05:43:31Z', '2026-12-08T05:43:33Z', 0,"
    " 'qnt5230', 'eeprom', '00:11:22:33:44:55', '0001', 302, 'F081EEE6', 'board.ini', '0', 'yes',"
    " 'st1', 2000, ''), ('r2', '2026-12-08T05:44:31Z', '2026-12-08T05:44:32Z', 1, 'qnt5230',"
    " 'eeprom', '00:11:22:33:44:56', '0002', 302, '016CCB22', 'board.ini', '9', 'yes', 'st1', 1000,"
    " 'E2P_READ_BLOCK failed!'), ('r3', '2026-12-08T05:45:31Z', '2026-12-08T05:45:33Z', 1,"
    " 'qnt5230', 'eeprom', '00:11:22:33:44:56', '0002', 302, '016CCB22', 'board.ini', '0', 'yes',"
    " 'st1', 2000, ''), ('r4', '2026-12-08T05:46:31Z', '2026-12-08T05:46:31Z', 0, 'qnt5230',"
    " 'eeprom', '00:11:22:33:44:57', '0003', 302, '016CCB22', 'board.ini', 'reserved', 'no',"
    " 'st2', 0, '')",
};

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
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line"), "5");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:55"), "programmed");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:56"), "programmed");

  run = Tool(std::string("summary ") + kLine);
  EXPECT_NE(run.output.find("Boards programmed: 2\nFailed runs: 1\n  exit code 9"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("  st1: 2 boards in 0:03:00, 40.0 per hour\n"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("  00:11:22:33:44:55 to 00:11:22:33:44:56 (2)\n"), std::string::npos);

  run = Tool(std::string("export ") + kLine + " out.csv");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  // Every line, in the order the runs happened, every column as it was.
  EXPECT_EQ(ReadFileText(work_.File("out.csv")), kLineOneExported);
  EXPECT_EQ(Tool("check out.csv").exit_code, 0);

  // The page from the database is the file's page of the same lines.
  run = Tool(std::string("report ") + kLine + " -o database.html");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output, std::string("The line report of ") + kLine + " is in database.html\n");
  ASSERT_EQ(Tool("report line1.csv -o file.html").exit_code, 0);
  std::string page = ReadFileText(work_.File("database.html"));
  for (size_t at = 0; (at = page.find(kLine, at)) != std::string::npos;) {
    page.replace(at, sizeof kLine - 1, "line1.csv");
  }
  // The two pages were made at two moments.
  const std::regex made(" Made [0-9TZ:-]+\\.");
  EXPECT_EQ(std::regex_replace(page, made, ""),
            std::regex_replace(ReadFileText(work_.File("file.html")), made, ""));
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
  std::string command = "'";
  command += QNT_RECORD_TOOL_PATH;
  command += "' summary 'odbc:DSN=qnt5200_line;PWD={wrong;S3cr3tWord}' 2>&1 >/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
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

TEST_F(RecordToolDatabase, InitUpgradesVersionOneAsTheOwnerOnlyAndReadersRefuseItTillThen) {
  for (const char* sql : kVersionOne) ASSERT_TRUE(RunAsOwner(sql));
  ProgramRun run = RunRecordToolWithErrors(std::string("summary ") + kLine, work_.path().string());
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.output.find(std::string("qnt5200-record: ") + kLine +
                            " has tables of version 1; upgrade them with init, as the database's "
                            "owner\n"),
            std::string::npos)
      << run.output;
  run = RunRecordToolWithErrors(std::string("init ") + kLine, work_.path().string());
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.output.find("couldn't upgrade the record tables of odbc:DSN=qnt5200_line from "
                            "version 1 to 2 (init takes the database owner's login): [42"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(QueryText("SELECT version FROM qnt5200_schema"), "1");
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_run"), "4");

  run = Tool("init odbc:DSN=qnt5200_owner");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output,
            "Upgraded the record tables in odbc:DSN=qnt5200_owner from version 1 to 2, every row "
            "kept\n");
  EXPECT_EQ(QueryText("SELECT version FROM qnt5200_schema"), "2");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:55"), "programmed");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:56"), "programmed");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:57"), "reserved");
  run = Tool(std::string("export ") + kLine + " out.csv");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(ReadFileText(work_.File("out.csv")),
            std::string(kBoardRecordHeader) +
                "2026-12-08T05:43:33Z,0,qnt5230,eeprom,00:11:22:33:44:55,0001,302,F081EEE6,"
                "board.ini,0,yes,st1,2000,,3,yes\n"
                "2026-12-08T05:44:32Z,1,qnt5230,eeprom,00:11:22:33:44:56,0002,302,016CCB22,"
                "board.ini,9,yes,st1,1000,E2P_READ_BLOCK failed!,3,no\n"
                "2026-12-08T05:45:33Z,1,qnt5230,eeprom,00:11:22:33:44:56,0002,302,016CCB22,"
                "board.ini,0,yes,st1,2000,,3,yes\n"
                "2026-12-08T05:46:31Z,0,qnt5230,eeprom,00:11:22:33:44:57,0003,302,016CCB22,"
                "board.ini,reserved,no,st2,0,,3,no\n");
  // The stations' grants reach the new tables too.
  EXPECT_EQ(Tool(std::string("check ") + kLine).exit_code, 1);
}

}  // namespace
