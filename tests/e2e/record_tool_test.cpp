// record_tool_test.cpp - qnt5200-record run as a program on the record that 5200WinCmd -t wrote:
// the summary with the INI file's ranges, the check clean and then finding a run that died, and
// the exit codes of a bad command line and of a file that is no record.
#include <gtest/gtest.h>

#include <string>

#include "support/end_to_end.h"

namespace {

class RecordTool : public EndToEnd {
 protected:
  ProgramRun Record(const std::string& arguments) {
    return RunRecordTool(arguments, work_.path().string());
  }
};

TEST_F(RecordTool, AnswersFromTheRecordOfARealRun) {
  Tool("create --chip QNT5230");
  const std::string example = ReadFileText(QNT_SOURCE_DIR "/examples/board.ini");
  WriteFileText(File("board.ini"), example);
  WriteFileText(File("again.ini"), example);
  ASSERT_EQ(Run("-w -i board.ini -s -t boards.csv").exit_code, 0);
  ASSERT_EQ(Run("-w -i again.ini -t boards.csv").exit_code, 10);  // its MAC address is taken

  const ProgramRun summary = Record("summary boards.csv --ini board.ini");
  EXPECT_EQ(summary.exit_code, 0);
  EXPECT_NE(summary.output.find("Boards programmed: 1\nFailed runs: 0\nRefused runs: 1\n"
                                "  exit code 10, identity or image modification failed: 1\n"),
            std::string::npos)
      << summary.output;
  // 00:11:22:33:44:56 to 00:11:22:33:FF:FF; 000000000002 to 0000FFFFFFFF.
  EXPECT_NE(summary.output.find("board.ini: 48042 MAC addresses left"), std::string::npos);
  EXPECT_NE(summary.output.find("board.ini: 4294967294 serial numbers left"), std::string::npos);
  const ProgramRun clean = Record("check boards.csv");
  EXPECT_EQ(clean.output,
            "Record boards.csv: 0 identities on two boards, 0 runs of unknown outcome\n");
  EXPECT_EQ(clean.exit_code, 0);

  // A station that died after its reservation.
  WriteFileText(File("boards.csv"),
                ReadFileText(File("boards.csv")) +
                    "2026-03-01T09:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:56,,302,0,board.ini,"
                    "reserved,no,st2,0,,2\n");
  const ProgramRun died = Record("check --json boards.csv");
  EXPECT_EQ(died.exit_code, 1);
  EXPECT_NE(died.output.find("\"unknown_outcomes\": [\n    {\n      \"line\": 5,"),
            std::string::npos)
      << died.output;
}

TEST_F(RecordTool, ExitCodesAndUsage) {
  const ProgramRun help = Record("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output.rfind("Usage: qnt5200-record summary RECORD", 0), 0u) << help.output;
  EXPECT_EQ(Record("").exit_code, 2);
  EXPECT_EQ(Record("check").exit_code, 2);
  EXPECT_EQ(Record("summary a.csv b.csv").exit_code, 2);
  const ProgramRun missing = RunRecordToolWithErrors("summary missing.csv", work_.path().string());
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_EQ(missing.output, "qnt5200-record: cannot read missing.csv: No such file or directory\n");
  // A device or a directory is no record: refused, not read without end.
  EXPECT_EQ(RunRecordToolWithErrors("check /dev/zero", work_.path().string()).output,
            "qnt5200-record: cannot read /dev/zero: not a regular file\n");
  EXPECT_EQ(Record("check .").exit_code, 2);
  WriteFileText(File("boards.csv"), "");
  EXPECT_EQ(Record("summary boards.csv --ini missing.ini").exit_code, 2);
  // A misspelt command is named in one line, with the command it is nearest to.
  const ProgramRun misspelt = RunRecordToolWithErrors("sumary boards.csv", work_.path().string());
  EXPECT_EQ(misspelt.exit_code, 2);
  EXPECT_EQ(misspelt.output, "qnt5200-record: no command \"sumary\"; did you mean summary?\n");
  EXPECT_EQ(RunRecordToolWithErrors("boards.csv", work_.path().string()).output,
            "qnt5200-record: no command \"boards.csv\"; qnt5200-record --help lists them\n");
}

// Brought into a database without it, the identity a damaged line names would be free there.
TEST_F(RecordTool, ARecordWithADamagedLineThatNamesAnIdentityIsNotImported) {
  WriteFileText(File("boards.csv"),
                "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,"
                "written,station,duration_ms,error,record_format\n"
                "2026-03-01T09:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:56,0002,302,0,board.ini,"
                "0,yes,st2,0,,2\n"
                "2026-03-01T09:0,0,qnt5230,eeprom,00:11:22:33:44:57,0003,302,0,board.ini,0,yes\n");
  const ProgramRun refused =
      RunRecordToolWithErrors("import boards.csv odbc:DSN=none", work_.path().string());
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_EQ(refused.output,
            "qnt5200-record: line 3 of boards.csv cannot be read and names MAC address "
            "00:11:22:33:44:57, serial number 0003: brought in without it, that identity would "
            "be free; correct the line first\n");
}

TEST_F(RecordTool, AFileWithoutTheRecordsHeaderIsRefused) {
  WriteFileText(File("notes.md"),
                "# Notes\n\nA line, with commas, and more, than ten, columns,,,,,,\n");
  for (const char* verb : {"summary", "check"}) {
    const ProgramRun refused = Record(std::string(verb) + " notes.md");
    EXPECT_EQ(refused.exit_code, 2) << verb;
    EXPECT_EQ(refused.output, "") << verb;
  }
  // The first form's header and lines, and a record no line was written to yet, are records.
  WriteFileText(File("first.csv"),
                "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,"
                "result\n2026-03-01T07:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:0F,000F,302,0,"
                "b.ini,0\n");
  const ProgramRun first = Record("summary first.csv");
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_NE(first.output.find("Boards programmed: 1\n"), std::string::npos) << first.output;
  WriteFileText(File("empty.csv"), "");
  EXPECT_EQ(Record("check empty.csv").exit_code, 0);
}

}  // namespace
