// record_identities.h - what a -w run asks of the per-board record before it touches the board:
// who holds the identity it means to give the board, and which identities a board may still hold
// after a run that did not succeed. The record is read once, as a stream; what is kept is the last
// word on the run's own identity and the few open ones, whatever the record's length.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/byte_source.h"
#include "format/open_identities.h"
#include "format/record_reader.h"

class RecordIdentities {
 public:
  // Reads the record from |source| for a run about to give its board |mac_address| (canonical,
  // or empty when it has none) and |serial_number| (or empty). False when |source| cannot be read
  // to its end.
  bool Read(ByteSource& source, const std::string& mac_address, const std::string& serial_number);

  // The last word on the MAC address and on the serial number Read was given: use kFree when no
  // line sent them to a board.
  const RecordedOwner& MacOwner() const { return mac_owner_; }
  const RecordedOwner& SerialOwner() const { return serial_owner_; }

  // True when some identity was sent to a board (or reserved for one) by a run that did not
  // succeed: the board that holds it may be programmed with it again.
  bool HasOpenIdentities() const { return !open_.empty(); }
  // That identity, when |mac| (a MAC address read from a board) is one.
  std::optional<RecordedOwner> OpenIdentityOf(const MacAddress& mac) const {
    return open_.FindMac(mac);
  }

  const std::vector<int>& malformed_lines() const { return malformed_lines_; }
  // The first line that cannot be read but names the MAC address (or the serial number) Read was
  // given; 0 when none does. Whatever became of that identity is unknown: no board gets it.
  int damaged_mac_line() const { return damaged_mac_line_; }
  int damaged_serial_line() const { return damaged_serial_line_; }
  RecordShape shape() const { return shape_; }

 private:
  class Reader;

  RecordedOwner mac_owner_;
  RecordedOwner serial_owner_;
  OpenIdentities open_;
  std::vector<int> malformed_lines_;
  int damaged_mac_line_ = 0;
  int damaged_serial_line_ = 0;
  RecordShape shape_ = RecordShape::kEmpty;
};
