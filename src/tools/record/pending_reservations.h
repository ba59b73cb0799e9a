// pending_reservations.h - the reservations that no later line answers, kept as the record is
// read. A reservation is answered by a later line that takes the same MAC address and serial
// number again (the run's own outcome line, or a run that found the identity on its board); one
// that is never answered is a run that died, or is still running.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/record_reader.h"

// A reservation nothing answered: whether its identity reached the board is unknown.
struct UnknownOutcome {
  int line = 0;
  BoardRecordLine fields;  // its MAC address, serial number, station and time
};

class PendingReservations {
 public:
  void Note(const RecordLineView& line);
  size_t size() const { return pending_.size(); }
  // In the record's order.
  std::vector<UnknownOutcome> Unanswered() const;

 private:
  struct Pending {
    int line = 0;
    uint64_t mac = RecordLineView::kNoMac;
    int64_t seconds = 0;
    std::string serial_number;
    std::string station;
  };
  std::unordered_map<uint64_t, Pending> pending_;  // by the MAC address and serial number
};
