// board_record.h - the per-board record kept with -t: one CSV line when a run reserves a board's
// identity, one when its outcome is known, and the reading that tells which MAC addresses and
// serial numbers a board may still be given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
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

// What the record says of one MAC address or serial number.
enum class IdentityUse {
  kFree,        // never sent to a board
  kProgrammed,  // on a board whose run succeeded
  kUnfinished,  // reserved by a run that never told its outcome (it died, or is still running)
  kFailed,      // sent to a board whose run then failed
};

struct IdentityEntry {
  IdentityUse use = IdentityUse::kFree;
  int line = 0;  // 1-based line of the record that says so
  std::string mac_address;
  std::string serial_number;
};

struct RecordIdentities {
  std::map<std::string, IdentityEntry> by_mac;  // keyed by the canonical "XX:XX:XX:XX:XX:XX"
  std::map<std::string, IdentityEntry> by_serial;
  std::vector<int> malformed_lines;
  // True when some identity was sent to a board that may be programmed again to keep it.
  bool HasOpenIdentities() const;
};

// Reads every line of |record| on its own: a line that cannot be read is listed and passed over,
// and never hides the lines after it. MAC addresses are understood in either case and with ':',
// '-' or no separator; blanks around fields do not count. A line of the older ten-column form
// counts as programmed when its result is 0. Serial numbers are read with or without their
// formula.
RecordIdentities ReadRecordIdentities(const std::string& record);

// The CRC-32 of IEEE 802.3 (reflected, polynomial 0xEDB88320, start and final inversion).
uint32_t Crc32(const uint8_t* data, size_t length);
