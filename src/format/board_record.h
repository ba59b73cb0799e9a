// board_record.h - the lines of the per-board record: the CSV line a -w run appends when it
// reserves a board's identity and when its outcome is known, and the same lines read back field by
// field, whatever spelling a hand edit or another program gave them (record_reader.h reads them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/mac_text.h"

// The columns of the older forms come first, so that what reads those still reads these; the
// record_format column names the form of each line, and columns a form adds go after it.
constexpr char kBoardRecordHeader[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,written,"
    "station,duration_ms,error,record_format,verified\n";
constexpr int kBoardRecordFormat = 3;

// The result column of the line a run appends right before the first write request: from that
// line on, the identity is taken whatever becomes of the run.
constexpr char kRecordReserved[] = "reserved";

// One line's columns; |Text| is std::string for a line of its own, std::string_view for a line as
// the reader hands it over.
template <typename Text>
struct BasicBoardRecordLine {
  Text time;  // UTC, ISO 8601
  uint32_t adapter = 0;
  Text chip;
  Text memory;       // "eeprom" or "otp"
  Text mac_address;  // canonical "XX:XX:XX:XX:XX:XX"; empty when the line has none
  Text serial_number;
  int32_t image_length = 0;
  uint32_t crc32 = 0;
  Text file;
  bool reserved = false;  // the reservation line; |result| then does not count
  int result = 0;         // the run's exit code
  bool written = false;   // a write request carrying the identity was sent to the board
  bool refused = false;   // refused before the board was touched
  Text station;           // the host the run was on
  uint32_t duration_ms = 0;
  Text error;  // the first error message of a run that did not succeed
  // The image was written and verified, whatever the run's exit code says (the board given the
  // last identity of its range was programmed, and its run still ends with 10). Lines of the
  // older forms tell it by their result: 0 with a write.
  bool verified = false;
};
using BoardRecordLine = BasicBoardRecordLine<std::string>;

// The line as CSV, ending in "\n"; fields holding a comma, a quote or a line end are quoted.
std::string FormatBoardRecordLine(const BoardRecordLine& line);

// The result and written columns of |line| as the record spells them ("reserved" or the exit
// code; "yes", "no" or "refused"); the database record keeps the same words.
std::string RecordResultText(const BoardRecordLine& line);
const char* RecordWrittenText(const BoardRecordLine& line);

// A line of the record kept whole, for a record small enough to hold (a test's, a report's); a
// record of any length is read line by line with ReadRecordLines.
struct RecordEntry {
  int number = 0;  // 1-based line of the record
  bool old_form = false;
  BoardRecordLine fields;
};

struct ParsedBoardRecord {
  std::vector<RecordEntry> entries;  // in the record's order
  std::vector<int> malformed_lines;
};

ParsedBoardRecord ParseBoardRecord(std::string_view record);

// The CRC-32 of IEEE 802.3 (reflected, polynomial 0xEDB88320, start and final inversion).
uint32_t Crc32(const uint8_t* data, size_t length);
