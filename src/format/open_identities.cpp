// open_identities.cpp - the identities left on no programmed board, kept as the record is read.
#include "format/open_identities.h"

#include <algorithm>

#include "format/utc_time.h"

namespace {

template <typename Key, typename Value>
void NoteUse(std::unordered_map<Key, Value>& open, Key key, IdentityUse use, const Value& value) {
  if (use == IdentityUse::kProgrammed) {
    open.erase(key);
  } else {
    open.insert_or_assign(key, value);
  }
}

}  // namespace

RecordedOwner OwnerOfLine(const RecordLineView& line) {
  const auto& in = line.fields;
  return {.use = UseOfLine(in),
          .line = line.number,
          .mac_address = std::string(in.mac_address),
          .serial_number = std::string(in.serial_number),
          .station = std::string(in.station),
          .adapter = in.adapter,
          .time = UtcTimeText(line.seconds),
          .result = in.result};
}

OpenIdentities::Open OpenIdentities::Compact(const RecordLineView& line) {
  const auto& in = line.fields;
  auto station = station_index_.find(in.station);
  if (station == station_index_.end()) {
    station = station_index_.emplace(std::string(in.station), stations_.size()).first;
    stations_.emplace_back(in.station);
  }
  return {.use = UseOfLine(in),
          .line = line.number,
          .mac = line.mac,
          .adapter = in.adapter,
          .station = station->second,
          .seconds = line.seconds,
          .result = in.result,
          .serial_number = std::string(in.serial_number)};
}

void OpenIdentities::Note(const RecordLineView& line) {
  const IdentityUse use = UseOfLine(line.fields);
  if (use == IdentityUse::kFree) return;
  const bool serial = !line.fields.serial_number.empty();
  if (!line.has_mac() && !serial) return;
  const Open open = use == IdentityUse::kProgrammed ? Open{} : Compact(line);
  if (line.has_mac()) NoteUse(by_mac_, line.mac, use, open);
  if (serial) NoteUse(by_serial_, SerialKey(line.fields.serial_number), use, open);
}

RecordedOwner OpenIdentities::Whole(const Open& open) const {
  return {.use = open.use,
          .line = open.line,
          .mac_address =
              open.mac == RecordLineView::kNoMac ? "" : MacAddressText(MacOfNumber(open.mac)),
          .serial_number = open.serial_number,
          .station = stations_[open.station],
          .adapter = open.adapter,
          .time = UtcTimeText(open.seconds),
          .result = open.result};
}

std::optional<RecordedOwner> OpenIdentities::FindMac(const MacAddress& mac) const {
  const auto open = by_mac_.find(MacNumber(mac));
  if (open == by_mac_.end()) return std::nullopt;
  return Whole(open->second);
}

std::vector<RecordedOwner> OpenIdentities::InLineOrder() const {
  std::vector<const Open*> lines;
  for (const auto* set : {&by_mac_, &by_serial_}) {
    for (const auto& [key, open] : *set) lines.push_back(&open);
  }
  std::sort(lines.begin(), lines.end(),
            [](const Open* a, const Open* b) { return a->line < b->line; });
  std::vector<RecordedOwner> owners;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 0 || lines[i]->line != lines[i - 1]->line) owners.push_back(Whole(*lines[i]));
  }
  return owners;
}
