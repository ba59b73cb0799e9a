// record_check.h - the per-board record searched for what must not be: an identity on two boards,
// and runs whose outcome nobody knows. Searched as the record is read, keeping one number per
// programmed identity.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "format/record_reader.h"
#include "tools/record/pending_reservations.h"

// A MAC address or serial number that a line says was written to a board after a run had
// programmed a board with it already. A write after a run that failed is not counted: the utility
// itself programs the board a failed run wrote again with the same identity (it finds the
// identity on the board), so that is one board.
struct IdentityClash {
  bool mac = true;  // else a serial number
  std::string value;
  int programmed_line = 0;  // the line whose run programmed it first
  int line = 0;             // the line that wrote it again
};

struct RecordCheck {
  std::vector<IdentityClash> clashes;  // in record order
  std::vector<UnknownOutcome> unknown;
  std::vector<int> malformed_lines;  // passed over, as the utility passes them over
  // The unreadable lines that still name an identity: the utility gives it to no board.
  std::vector<std::pair<int, DamagedLineNames>> damaged;
  bool Clean() const { return clashes.empty() && unknown.empty() && damaged.empty(); }
};

// Checks the lines handed to it; Finish gives what it found. |serial_counts| false: the serial
// number is the same on every board by design (the INI file does not step it), and only MAC
// addresses are checked.
class RecordChecker : public RecordLineSink {
 public:
  explicit RecordChecker(bool serial_counts);
  ~RecordChecker() override;
  void Line(const RecordLineView& line) override;
  void Unreadable(int number, std::string_view text) override;
  RecordCheck Finish();

 private:
  struct Seen;
  bool serial_counts_;
  std::unique_ptr<Seen> seen_;
};

// The check of a record held in memory.
RecordCheck CheckRecord(std::string_view record, bool serial_counts);
