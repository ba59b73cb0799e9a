// pending_reservations.cpp - reservations waiting for a later line with their identity.
#include "tools/record/pending_reservations.h"

#include <algorithm>

#include "format/utc_time.h"

void PendingReservations::Note(const RecordLineView& line) {
  const auto& fields = line.fields;
  if (!fields.reserved && !fields.written) return;
  const uint64_t key = line.mac * 0x9E3779B97F4A7C15 ^ SerialKey(fields.serial_number);
  if (!fields.reserved) {
    pending_.erase(key);
    return;
  }
  pending_.insert_or_assign(key, Pending{.line = line.number,
                                         .mac = line.mac,
                                         .seconds = line.seconds,
                                         .serial_number = std::string(fields.serial_number),
                                         .station = std::string(fields.station)});
}

std::vector<UnknownOutcome> PendingReservations::Unanswered() const {
  std::vector<UnknownOutcome> unknown;
  for (const auto& [key, pending] : pending_) {
    unknown.push_back({.line = pending.line,
                       .fields = {.time = UtcTimeText(pending.seconds),
                                  .mac_address = pending.mac == RecordLineView::kNoMac
                                                     ? ""
                                                     : MacAddressText(MacOfNumber(pending.mac)),
                                  .serial_number = pending.serial_number,
                                  .reserved = true,
                                  .station = pending.station}});
  }
  std::sort(unknown.begin(), unknown.end(),
            [](const UnknownOutcome& a, const UnknownOutcome& b) { return a.line < b.line; });
  return unknown;
}
