// board_record.h - the lines of the per-board record: the CSV line a -w run appends when it
// reserves a board's identity and when its outcome is known, and the same lines read back field by
// field, whatever spelling a hand edit or another program gave them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/mac_text.h"

// The columns of the first form come first, so that what reads those still reads these; the last
// column names the form and every line carries it.
constexpr char kBoardRecordHeader[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format\n";
constexpr int kBoardRecordFormat = 2;

// The result column of the line a run appends right before the first write request: from that
// line on, the identity is taken whatever becomes of the run.
constexpr char kRecordReserved[] = "reserved";

struct BoardRecordLine {
  std::string time;  // UTC, ISO 8601
  uint32_t adapter = 0;
  std::string chip;
  std::string memory;  // "eeprom" or "otp"
  std::string mac_address;
  std::string serial_number;
  int32_t image_length = 0;
  uint32_t crc32 = 0;
  std::string file;
  bool reserved = false;  // the reservation line; |result| then does not count
  int result = 0;         // the run's exit code
  bool written = false;   // a write request carrying the identity was sent to the board
  bool refused = false;   // refused before the board was touched
  std::string station;    // the host the run was on
  uint32_t duration_ms = 0;
  std::string error;  // the first error message of a run that did not succeed
};

// The line as CSV, ending in "\n"; fields holding a comma, a quote or a line end are quoted, and
// the serial number is written as a formula giving its text (="0001"), so that a spreadsheet
// keeps its leading zeros.
std::string FormatBoardRecordLine(const BoardRecordLine& line);

// The result and written columns of |line| as the record spells them ("reserved" or the exit
// code; "yes", "no" or "refused"); the database record keeps the same words.
std::string RecordResultText(const BoardRecordLine& line);
const char* RecordWrittenText(const BoardRecordLine& line);

// One line of the record as read back: the MAC address in its canonical "XX:XX:XX:XX:XX:XX" (empty
// when the line has none), the serial number as its text. A line of the older ten-column form
// counts as written when its result is 0, the only write that form could tell; the columns it
// lacks keep their defaults, as do numbers that cannot be read in columns nothing depends on.
struct RecordEntry {
  int number = 0;  // 1-based line of the record
  bool old_form = false;
  BoardRecordLine fields;
};

struct ParsedBoardRecord {
  std::vector<RecordEntry> entries;  // in the record's order
  std::vector<int> malformed_lines;
};

// Reads every line of |record| on its own: a line that cannot be read is listed and passed over,
// and never hides the lines after it. MAC addresses are understood in either case and with ':',
// '-' or no separator; blanks around fields do not count, nor do columns beyond the known ones.
// Serial numbers are read with or without their formula. A line is malformed when it has fewer
// than ten columns, a quote left open, a MAC address that is none, a result that is neither a
// number nor (in today's form) "reserved", or a written column other than yes, no or refused.
ParsedBoardRecord ParseBoardRecord(const std::string& record);

// The CRC-32 of IEEE 802.3 (reflected, polynomial 0xEDB88320, start and final inversion).
uint32_t Crc32(const uint8_t* data, size_t length);
