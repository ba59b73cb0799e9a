// record_reader.h - the one reader of the per-board record, for the run and for qnt5200-record:
// the record is read as a stream, line by line, and no line is kept once it has been handed over,
// so a record of a million boards costs what its longest line does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_source.h"
#include "format/board_record.h"

// One line as read: its columns are views into the reader's buffers, valid only during the call
// that hands the line over.
struct RecordLineView {
  static constexpr uint64_t kNoMac = ~uint64_t{0};

  int number = 0;         // 1-based line of the record
  bool old_form = false;  // the ten columns of the first form
  int64_t seconds = 0;    // |fields.time| as seconds since 1970-01-01T00:00:00Z
  uint64_t mac = kNoMac;  // |fields.mac_address| as its 48-bit number
  BasicBoardRecordLine<std::string_view> fields;

  bool has_mac() const { return mac != kNoMac; }
};

// What a reader of the record does with its lines.
class RecordLineSink {
 public:
  virtual ~RecordLineSink() = default;
  virtual void Line(const RecordLineView& line) = 0;
  // A line that cannot be read: it is passed over, and never hides the lines after it. |text| is
  // the line as written (empty for one too long to hold), valid only during the call.
  virtual void Unreadable(int number, std::string_view text) = 0;
};

// What the first line of the text was.
enum class RecordShape {
  kEmpty,     // no line at all, or only blank ones: a record no run has written to yet
  kRecord,    // the header of one of the record's forms
  kNoHeader,  // anything else
};

struct RecordRead {
  bool read = false;  // false: the source could not be read to its end
  RecordShape shape = RecordShape::kEmpty;
};

// Reads |source| to its end and hands each line to |sink| in order. With |header_required|, a
// text whose first line is not the record's header is not read past that line.
//
// A line is unreadable when it has fewer than ten columns, a quote left open, a time that names no
// instant (YYYY-MM-DDTHH:MM:SS, the "T" or a blank, the "Z" or none), a MAC address that is none,
// a result that is neither a number of an int nor (in the later forms) "reserved", a written
// column other than yes, no or refused, or (from form 3 on) a verified column other than yes or
// no. MAC addresses are understood in either case and with ':', '-' or no separator; blanks
// around fields do not count, nor do columns beyond the known ones; serial numbers are read as
// written or as the formula ="..." that form 2 wrote. Numbers of columns nothing depends on keep
// their defaults when they cannot be read.
RecordRead ReadRecordLines(ByteSource& source, RecordLineSink& sink, bool header_required = false);

// The serial number as a 64-bit key: sets of serial numbers keep the key, not the text. Two
// serial numbers sharing a key (once in about 10^19 pairs) count as one, which refuses a board,
// never lets one through.
uint64_t SerialKey(std::string_view serial_number);

// Whether a line that cannot be read still names |mac_address| (canonical): anywhere in it, in
// either case, with ':', '-' or no separator. Such a line keeps the identity from every board.
bool DamagedLineNamesMac(std::string_view line, std::string_view mac_address);
// Whether it names |serial_number|: as one of its fields, wherever the commas fall, quotes and
// the formula ="..." undone.
bool DamagedLineNamesSerial(std::string_view line, std::string_view serial_number);
// What a damaged line names, for the record's check: every MAC address written with ':' or '-'
// anywhere in it, and the text of its serial number column when it has one, canonical.
struct DamagedLineNames {
  std::vector<std::string> mac_addresses;
  std::string serial_number;
};
DamagedLineNames NamesOfDamagedLine(std::string_view line);

// Keeps every line whole, for a record small enough to hold (a test's, one brought into a
// database); a record of any length is read line by line into a sink of its own.
class WholeRecordSink : public RecordLineSink {
 public:
  void Line(const RecordLineView& line) override;
  void Unreadable(int number, std::string_view /*text*/) override {
    record.malformed_lines.push_back(number);
  }

  ParsedBoardRecord record;
};
