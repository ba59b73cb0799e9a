// open_identities.h - the identities that the per-board record leaves on no programmed board: sent
// to a board by a run that did not succeed, or reserved by a run that never told its outcome.
// Such an identity is used up, and only the board that may hold it is programmed with it again.
// Kept as the record is read, a few of them at a time: a programmed identity leaves the set.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "format/record_reader.h"

// What the record says of one MAC address or serial number.
enum class IdentityUse {
  kFree,        // never sent to a board
  kProgrammed,  // on a board whose image was written and verified
  kUnfinished,  // reserved by a run that never told its outcome (it died, or is still running)
  kFailed,      // sent to a board whose run then failed
};

// What a line says of its identity: kFree when it changes nothing (a run that failed before
// writing, an older line of a failed run).
template <typename Text>
IdentityUse UseOfLine(const BasicBoardRecordLine<Text>& line) {
  if (line.reserved) return IdentityUse::kUnfinished;
  if (!line.written) return IdentityUse::kFree;
  return line.verified ? IdentityUse::kProgrammed : IdentityUse::kFailed;
}

// The line that said the last word on an identity, as messages name it.
struct RecordedOwner {
  IdentityUse use = IdentityUse::kFree;  // kFree: no line sent it to a board
  int line = 0;                          // 1-based line of the record
  std::string mac_address;               // that line's, canonical; empty when it has none
  std::string serial_number;             // that line's
  std::string station;
  uint32_t adapter = 0;
  std::string time;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
  int result = 0;    // the exit code of a failed run
};

RecordedOwner OwnerOfLine(const RecordLineView& line);

class OpenIdentities {
 public:
  // Takes the last word of |line| on its MAC address and serial number.
  void Note(const RecordLineView& line);

  bool empty() const { return by_mac_.empty() && by_serial_.empty(); }
  // The open identity whose MAC address is |mac|, if there is one.
  std::optional<RecordedOwner> FindMac(const MacAddress& mac) const;
  // One per line that left an identity open, in the record's order.
  std::vector<RecordedOwner> InLineOrder() const;

 private:
  // An owner in a few bytes: its texts are the serial number and an index into the stations.
  struct Open {
    IdentityUse use = IdentityUse::kFree;
    int line = 0;
    uint64_t mac = RecordLineView::kNoMac;
    uint32_t adapter = 0;
    uint32_t station = 0;
    int64_t seconds = 0;
    int result = 0;
    std::string serial_number;
  };
  Open Compact(const RecordLineView& line);
  RecordedOwner Whole(const Open& open) const;

  std::unordered_map<uint64_t, Open> by_mac_;     // by the MAC address's number
  std::unordered_map<uint64_t, Open> by_serial_;  // by SerialKey
  std::map<std::string, uint32_t, std::less<>> station_index_;
  std::vector<std::string> stations_;
};
