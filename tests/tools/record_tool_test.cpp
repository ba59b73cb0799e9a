// record_tool_test.cpp - qnt5200-record's answers on a record of two stations and an older file's
// lines, worked out by hand: the summary and its rates, the check, the ranges left in an INI
// file, and the JSON documents as a reader parses them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "format/utc_time.h"
#include "tools/record/ini_range.h"
#include "tools/record/record_check.h"
#include "tools/record/record_json.h"
#include "tools/record/record_report.h"
#include "tools/record/record_summary.h"

namespace {

std::string Line(const std::string& time, const std::string& mac, const std::string& serial,
                 const std::string& result, const std::string& written, const std::string& station,
                 const std::string& duration_ms) {
  return time + ",0,qnt5230,eeprom," + mac + ",\"=\"\"" + serial + "\"\"\",302,0,b.ini," + result +
         "," + written + "," + station + "," + duration_ms + ",,2\n";
}

// Station st1 works from 08:00:00 to 08:02:30 (150 s, 2 boards: 48 per hour), reworking the board
// whose verify failed; st2 from 08:29:54 to 09:29:54 (3 boards: 3 per hour) and gives
// 00:11:22:33:44:10 and serial number 0010 to a second board each; the older form's lines have no
// station, 07:00:00 to 07:10:00 (1 board: 6 per hour). All together: 6 boards in 8994 s.
const std::string kRecord =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format\n" +
    Line("2026-03-01T08:00:10Z", "00:11:22:33:44:10", "0010", "reserved", "no", "st1", "10000") +
    Line("2026-03-01T08:00:30Z", "00:11:22:33:44:10", "0010", "0", "yes", "st1", "30000") +
    Line("2026-03-01T08:01:00Z", "00:11:22:33:44:11", "0011", "reserved", "no", "st1", "5000") +
    Line("2026-03-01T08:01:20Z", "00:11:22:33:44:11", "0011", "9", "yes", "st1", "25000") +
    Line("2026-03-01T08:02:00Z", "00:11:22:33:44:11", "0011", "reserved", "no", "st1", "5000") +
    Line("2026-03-01T08:02:30Z", "00:11:22:33:44:11", "0011", "0", "yes", "st1", "35000") +
    Line("2026-03-01T08:30:00Z", "00:11:22:33:44:12", "0012", "reserved", "no", "st2", "6000") +
    Line("2026-03-01T08:30:20Z", "00:11:22:33:44:12", "0012", "0", "yes", "st2", "26000") +
    Line("2026-03-01T08:40:00Z", "00:11:22:33:44:10", "0010", "10", "refused", "st2", "100") +
    Line("2026-03-01T09:00:00Z", "00:11:22:33:44:10", "0013", "reserved", "no", "st2", "4000") +
    Line("2026-03-01T09:00:20Z", "00:11:22:33:44:10", "0013", "0", "yes", "st2", "24000") +
    Line("2026-03-01T09:10:00Z", "00:11:22:33:44:14", "0010", "reserved", "no", "st2", "3000") +
    Line("2026-03-01T09:10:20Z", "00:11:22:33:44:14", "0010", "0", "yes", "st2", "23000") +
    Line("2026-03-01T09:29:54Z", "00:11:22:33:44:15", "0015", "reserved", "no", "st2", "0") +
    "this line is no record line\n"
    "2026-03-01T07:00:00Z,0,qnt5230,eeprom,00-11-22-33-44-0f,000F,302,0,b.ini,0\n"
    "2026-03-01T07:10:00Z,0,qnt5230,eeprom,00:11:22:33:44:20,0020,302,0,b.ini,5\n";

TEST(RecordTool, SummaryCountsBoardsRunsRatesAndMacAddresses) {
  const RecordSummary summary = SummarizeRecord(kRecord);
  EXPECT_EQ(SummaryText("boards.csv", summary, {}),
            "Record boards.csv: 17 lines, 1 unreadable\n"
            "Boards programmed: 6\n"
            "Failed runs: 2\n"
            "  exit code 5, EEPROM read failed: 1\n"
            "  exit code 9, EEPROM programming failed: 1\n"
            "Refused runs: 1\n"
            "  exit code 10, identity or image modification failed: 1\n"
            "Runs of unknown outcome: 1\n"
            "Boards per hour, from the start of the first run to the last line:\n"
            "  (no station named): 1 board in 0:10:00, 6.0 per hour\n"
            "  st1: 2 boards in 0:02:30, 48.0 per hour\n"
            "  st2: 3 boards in 1:00:00, 3.0 per hour\n"
            "  all stations: 6 boards in 2:29:54, 2.4 per hour\n"
            "MAC addresses used: 6\n"
            "  00:11:22:33:44:0F to 00:11:22:33:44:12 (4)\n"
            "  00:11:22:33:44:14 to 00:11:22:33:44:15 (2)\n"
            "Identities used up with no programmed board: 1\n"
            "  line 15: MAC address 00:11:22:33:44:15, serial number 0015: outcome unknown\n");
}

TEST(RecordTool, CheckFindsIdentitiesOnTwoBoardsAndUnknownOutcomes) {
  const std::string& record = kRecord;
  const RecordCheck check = CheckRecord(record, true);
  EXPECT_FALSE(check.Clean());
  EXPECT_EQ(CheckText("boards.csv", check),
            "MAC address 00:11:22:33:44:10 is on two boards: programmed by line 3, written again "
            "by line 12\n"
            "Serial number 0010 is on two boards: programmed by line 3, written again by line "
            "14\n"
            "Line 15: outcome unknown: MAC address 00:11:22:33:44:15, serial number 0015 "
            "reserved on st2 at 2026-03-01T09:29:54Z, and no later line says what became of it\n"
            "Record boards.csv: 2 identities on two boards, 1 run of unknown outcome\n");
  // A serial number the INI file does not step is on every board by design.
  EXPECT_EQ(CheckRecord(record, false).clashes.size(), 1u);

  // The rework of a board whose write failed, and the older form, are clean.
  const std::string clean = kRecord.substr(0, kRecord.find("2026-03-01T08:30:00Z"));
  EXPECT_TRUE(CheckRecord(clean, true).Clean());
}

TEST(RecordTool, CheckReportsAnUnreadableLineThatStillNamesAnIdentity) {
  const std::string record =
      "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
      "station,duration_ms,error,record_format\n" +
      Line("2026-03-01T25:00:00Z", "00:11:22:33:44:10", "0010", "0", "yes", "st1", "5") +
      "cut short, 00-11-22-33-44-2a\n";
  const RecordCheck check = CheckRecord(record, true);
  EXPECT_FALSE(check.Clean());
  EXPECT_EQ(CheckText("boards.csv", check),
            "Line 2 cannot be read and names MAC address 00:11:22:33:44:10, serial number 0010: "
            "no board is given them until the line is corrected\n"
            "Line 3 cannot be read and names MAC address 00:11:22:33:44:2A, serial number -: no "
            "board is given them until the line is corrected\n"
            "Record boards.csv: 0 identities on two boards, 0 runs of unknown outcome, 2 "
            "unreadable lines naming an identity\n");
}

TEST(RecordTool, JsonDocumentsSayTheSame) {
  const std::string& record = kRecord;
  IniRanges ini{.file = "b.ini"};
  ini.left.mac = {.present = true, .current = "00:11:22:33:44:15", .increment = 1, .left = 7};
  // A line of two ranges: "ini" is the first, "inis" both.
  const IniRanges other{.file = "c.ini"};
  const auto summary =
      nlohmann::json::parse(SummaryJson("boards.csv", SummarizeRecord(record), {ini, other}));
  ASSERT_EQ(summary["inis"].size(), 2u);
  EXPECT_EQ(summary["inis"][0], summary["ini"]);
  EXPECT_EQ(summary["inis"][1]["file"], "c.ini");
  EXPECT_EQ(summary["schema_version"], 1);
  EXPECT_EQ(summary["command"], "summary");
  EXPECT_EQ(summary["lines"], 17);
  EXPECT_EQ(summary["malformed_lines"], nlohmann::json::array({16}));
  EXPECT_EQ(summary["boards_programmed"], 6);
  EXPECT_EQ(summary["failures"][1]["exit_code"], 9);
  EXPECT_EQ(summary["failures"][1]["runs"], 1);
  EXPECT_EQ(summary["refusals"][0]["meaning"], "identity or image modification failed");
  EXPECT_EQ(summary["stations"][1]["station"], "st1");
  EXPECT_DOUBLE_EQ(summary["stations"][1]["boards_per_hour"].get<double>(), 48.0);
  EXPECT_DOUBLE_EQ(summary["all_stations"]["span_seconds"].get<double>(), 8994.0);
  EXPECT_DOUBLE_EQ(summary["all_stations"]["boards_per_hour"].get<double>(), 6 * 3600.0 / 8994);
  EXPECT_EQ(summary["mac_address_ranges"][0]["count"], 4);
  EXPECT_EQ(summary["ini"]["mac_address"]["left"], 7);
  EXPECT_TRUE(summary["ini"]["mac_address"]["maximum"].is_null());
  EXPECT_EQ(summary["ini"]["mac_address"]["current_used"], true);  // reserved on line 15
  EXPECT_TRUE(summary["ini"]["serial_number"].is_null());

  const auto check = nlohmann::json::parse(CheckJson("boards.csv", CheckRecord(record, true)));
  EXPECT_EQ(check["schema_version"], 1);
  EXPECT_EQ(check["clean"], false);
  EXPECT_EQ(check["on_two_boards"][1]["kind"], "serial_number");
  EXPECT_EQ(check["on_two_boards"][1]["line"], 14);
  EXPECT_EQ(check["unknown_outcomes"][0]["line"], 15);
  EXPECT_EQ(check["unknown_outcomes"][0]["mac_address"], "00:11:22:33:44:15");
}

// Lines of the third form: the last column says whether the image was written and verified.
std::string Verified(const std::string& mac, const std::string& result, const std::string& written,
                     const std::string& verified) {
  std::string line = Line("2026-03-02T10:00:00Z", mac, mac.substr(12, 2) + mac.substr(15, 2),
                          result, written, "st1", "1000");
  line.replace(line.size() - 3, 3, ",3," + verified + "\n");
  return line;
}

// The board that took the last identity of its range was programmed, though its run ends with 10;
// a failed write and a run that died leave identities that no board was programmed with.
const std::string kThirdForm =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format,verified\n" +
    Verified("00:11:22:33:44:30", "reserved", "no", "no") +
    Verified("00:11:22:33:44:30", "10", "yes", "yes") +
    Verified("00:11:22:33:44:31", "reserved", "no", "no") +
    Verified("00:11:22:33:44:31", "9", "yes", "no") +
    Verified("00:11:22:33:44:33", "reserved", "no", "no") +
    Line("2026-03-02T10:00:00Z", "00:11:22:33:44:34", "3434", "10", "yes", "st1", "1000") +
    Verified("00:11:22:33:44:30", "0", "yes", "yes");

TEST(RecordTool, AVerifiedBoardCountsAsProgrammedWhateverItsExitCode) {
  const std::string& record = kThirdForm;
  const std::string text = SummaryText("r.csv", SummarizeRecord(record), {});
  EXPECT_NE(text.find("Boards programmed: 2\n"
                      "Failed runs: 2\n"
                      "  exit code 9, EEPROM programming failed: 1\n"
                      "  exit code 10, identity or image modification failed: 1\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Identities used up with no programmed board: 3\n"
                      "  line 5: MAC address 00:11:22:33:44:31, serial number 4431: exit code 9, "
                      "EEPROM programming failed\n"
                      "  line 6: MAC address 00:11:22:33:44:33, serial number 4433: outcome "
                      "unknown\n"
                      "  line 7: MAC address 00:11:22:33:44:34, serial number 3434: exit code 10, "
                      "identity or image modification failed\n"),
            std::string::npos)
      << text;
  const auto json = nlohmann::json::parse(SummaryJson("r.csv", SummarizeRecord(record), {}));
  EXPECT_EQ(json["boards_programmed"], 2);
  ASSERT_EQ(json["identities_used_up_on_no_board"].size(), 3u);
  EXPECT_EQ(json["identities_used_up_on_no_board"][1]["line"], 6);
  EXPECT_EQ(json["identities_used_up_on_no_board"][1]["serial_number"], "4433");
  EXPECT_TRUE(json["identities_used_up_on_no_board"][1]["exit_code"].is_null());
  EXPECT_EQ(json["identities_used_up_on_no_board"][2]["exit_code"], 10);
  // The verified board of line 3 holds 00:11:22:33:44:30: line 8 wrote it on a second board.
  const RecordCheck check = CheckRecord(record, false);
  ASSERT_EQ(check.clashes.size(), 1u);
  EXPECT_EQ(check.clashes[0].programmed_line, 3);
  EXPECT_EQ(check.clashes[0].line, 8);
}

DeviceSettings Ranges(const MacAddress& current, const MacAddress& maximum, int mac_step,
                      const char* serial, const char* serial_maximum, int serial_step) {
  DeviceSettings settings;
  settings.CurrentMacAddressPresent = 1;
  settings.CurrentMacAddress = current;
  settings.MaximumMacAddress = maximum;
  settings.MacAddressIncrement = mac_step;
  settings.CurrentSerialNumber = serial;
  if (serial_maximum != nullptr) settings.MaximumSerialNumber = serial_maximum;
  settings.SerialNumberIncrement = serial_step;
  return settings;
}

TEST(RecordTool, IdentitiesLeftAreCountedAsTheSteppingCounts) {
  constexpr MacAddress kFirst{0x00, 0x11, 0x22, 0x33, 0x44, 0xFE};
  constexpr MacAddress kLast{0x00, 0x11, 0x22, 0x33, 0x45, 0x10};
  // 44:FE, 45:01, ... 45:10 by 3; serial numbers 0009 to 0010 (hexadecimal) by 1.
  IdentitiesLeft left = CountIdentitiesLeft(Ranges(kFirst, kLast, 3, "0009", "0010", 1));
  EXPECT_EQ(left.mac.left, 7u);
  EXPECT_EQ(left.serial.left, 8u);
  EXPECT_EQ(CountIdentitiesLeft(Ranges(kLast, kFirst, 1, "0011", "0010", 1)).mac.left, 0u);
  EXPECT_EQ(CountIdentitiesLeft(Ranges(kLast, kLast, 1, "0010", "0010", 1)).serial.left, 1u);
  // Without a maximum, the last value is the one whose next value still fits its width: FC, FD,
  // FE (FF would step past FF).
  EXPECT_EQ(CountIdentitiesLeft(Ranges(kFirst, kLast, 1, "FC", nullptr, 1)).serial.left, 3u);
  EXPECT_EQ(
      CountIdentitiesLeft(Ranges(kFirst, kLast, 1, "FFFFFFFFFFFFFFF0", nullptr, 1)).serial.left,
      15u);
  // Not counted: a serial number that does not step, lower-case digits, a maximum of another
  // width.
  EXPECT_FALSE(CountIdentitiesLeft(Ranges(kFirst, kLast, 1, "0010", "0020", 0)).serial.left);
  EXPECT_FALSE(CountIdentitiesLeft(Ranges(kFirst, kLast, 1, "001f", "0020", 1)).serial.left);
  EXPECT_FALSE(CountIdentitiesLeft(Ranges(kFirst, kLast, 1, "0010", "20", 1)).serial.left);
}

TEST(RecordTool, UtcTimes) {
  int64_t seconds = 0;
  ASSERT_TRUE(ParseUtcTime("2024-02-29T00:00:00Z", &seconds));
  EXPECT_EQ(seconds, 1709164800);
  ASSERT_TRUE(ParseUtcTime("2026-03-01 08:00:00", &seconds));  // as a spreadsheet saves it
  EXPECT_EQ(seconds, 1772352000);
  EXPECT_FALSE(ParseUtcTime("2026-03-01T08:00", &seconds));
  EXPECT_FALSE(ParseUtcTime("2026-13-01T08:00:00Z", &seconds));
  EXPECT_FALSE(ParseUtcTime("2026-03-01T24:00:00Z", &seconds));
  EXPECT_FALSE(ParseUtcTime("2026-03-01T08:60:00Z", &seconds));
  EXPECT_FALSE(ParseUtcTime("2026-03-01T08:00:61Z", &seconds));
}

}  // namespace
