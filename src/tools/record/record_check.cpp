// record_check.cpp - walking the record in order, with the line that programmed each identity.
#include "tools/record/record_check.h"

#include <unordered_map>

#include "common/byte_source.h"
#include "format/open_identities.h"

namespace {

// The first line that programmed each identity, by its number (a MAC address) or key (a serial
// number).
using Programmed = std::unordered_map<uint64_t, int>;

void CheckIdentity(Programmed& programmed, uint64_t key, std::string_view value, bool mac,
                   const RecordLineView& line, std::vector<IdentityClash>* clashes) {
  const auto found = programmed.find(key);
  if (found != programmed.end()) {
    clashes->push_back({.mac = mac,
                        .value = std::string(value),
                        .programmed_line = found->second,
                        .line = line.number});
  } else if (UseOfLine(line.fields) == IdentityUse::kProgrammed) {
    programmed.emplace(key, line.number);
  }
}

}  // namespace

struct RecordChecker::Seen {
  RecordCheck check;
  Programmed macs;
  Programmed serials;
  PendingReservations pending;
};

RecordChecker::RecordChecker(bool serial_counts)
    : serial_counts_(serial_counts), seen_(std::make_unique<Seen>()) {}
RecordChecker::~RecordChecker() = default;

void RecordChecker::Line(const RecordLineView& line) {
  Seen& seen = *seen_;
  seen.pending.Note(line);
  const auto& fields = line.fields;
  if (fields.reserved || !fields.written) return;
  if (line.has_mac()) {
    CheckIdentity(seen.macs, line.mac, fields.mac_address, true, line, &seen.check.clashes);
  }
  if (serial_counts_ && !fields.serial_number.empty()) {
    CheckIdentity(seen.serials, SerialKey(fields.serial_number), fields.serial_number, false, line,
                  &seen.check.clashes);
  }
}

void RecordChecker::Unreadable(int number, std::string_view text) {
  seen_->check.malformed_lines.push_back(number);
  DamagedLineNames names = NamesOfDamagedLine(text);
  if (!names.mac_addresses.empty() || !names.serial_number.empty()) {
    seen_->check.damaged.emplace_back(number, std::move(names));
  }
}

RecordCheck RecordChecker::Finish() {
  RecordCheck check = std::move(seen_->check);
  check.unknown = seen_->pending.Unanswered();
  seen_ = std::make_unique<Seen>();
  return check;
}

RecordCheck CheckRecord(std::string_view record, bool serial_counts) {
  TextSource source(record);
  RecordChecker checker(serial_counts);
  ReadRecordLines(source, checker);
  return checker.Finish();
}
