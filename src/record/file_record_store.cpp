// file_record_store.cpp - the CSV record: its turn taken with the file's lock, its identities read
// once at Open, and each transaction one line appended in a single flushed write.
#include "record/file_record_store.h"

#include <optional>
#include <utility>

#include "format/mac_text.h"
#include "platform/record_append.h"
#include "record/record_file_reading.h"

namespace {

IdentityState StateOf(IdentityUse use) {
  switch (use) {
    case IdentityUse::kFree:
      return IdentityState::kFree;
    case IdentityUse::kProgrammed:
      return IdentityState::kProgrammed;
    case IdentityUse::kUnfinished:
      return IdentityState::kReserved;
    case IdentityUse::kFailed:
      return IdentityState::kFailed;
  }
  return IdentityState::kReserved;
}

}  // namespace

FileRecordStore::FileRecordStore(RecordStoreSettings settings, Console& console)
    : settings_(std::move(settings)), console_(console) {}

std::string FileRecordStore::Describe() const { return "the record file " + settings_.name; }

RecordStatus FileRecordStore::Open() {
  const char* path = settings_.name.c_str();
  for (const std::string& input : settings_.input_files) {
    if (SameUserFile(path, input.c_str())) {
      console_.Error("The record file %s is the file the board is programmed from\n", path);
      return RecordStatus::kFailed;
    }
  }
  // A record that cannot take the line is found out before the board is written.
  if (!CanAppendToFile(path)) {
    console_.Error("Couldn't write the record file %s\n", path);
    return RecordStatus::kFailed;
  }
  if (!Lock()) {
    console_.Error("Couldn't read the record file %s\n", path);
    return RecordStatus::kFailed;
  }
  return RecordStatus::kDone;
}

// One read of the whole file answers every question about |mac_address| and |serial_number| and
// which identities are left unfinished; the run asks for its own identity first.
bool FileRecordStore::ReadFor(const std::string& mac_address, const std::string& serial_number) {
  if (read_ && mac_address == read_mac_address_ && serial_number == read_serial_number_) {
    return true;
  }
  read_ = ReadRecordFileIdentities(settings_.name.c_str(), mac_address, serial_number, console_,
                                   &identities_);
  read_mac_address_ = mac_address;
  read_serial_number_ = serial_number;
  return read_;
}

// Waits for another station's turn to end, saying so once.
bool FileRecordStore::Lock() {
  const char* path = settings_.name.c_str();
  UserFileLock::Result locked = lock_.Acquire(path, false);
  if (locked == UserFileLock::Result::kBusy) {
    console_.Printf("The record file %s is in use by another run; waiting for it\n", path);
    locked = lock_.Acquire(path, true);
  }
  return locked == UserFileLock::Result::kLocked;
}

RecordStatus FileRecordStore::MayHoldUnfinished(bool* may) {
  if (!read_ && !ReadFor("", "")) return RecordStatus::kFailed;
  *may = identities_.HasOpenIdentities();
  return RecordStatus::kDone;
}

// Every identity left unfinished is kept by any read, whichever identity it was made for.
RecordStatus FileRecordStore::FindUnfinished(const std::vector<std::string>& mac_addresses,
                                             IdentityOwner* owner) {
  if (!read_ && !ReadFor("", "")) return RecordStatus::kFailed;
  *owner = {};
  for (const std::string& text : mac_addresses) {
    MacAddress mac;
    if (!ParseMacAddress(text, &mac)) continue;
    if (const std::optional<RecordedOwner> found = identities_.OpenIdentityOf(mac)) {
      *owner = OwnerOf(*found);
      break;
    }
  }
  return RecordStatus::kDone;
}

RecordStatus FileRecordStore::LookUp(const std::string& mac_address,
                                     const std::string& serial_number, RecordKnowledge* knowledge) {
  if (!ReadFor(mac_address, serial_number)) return RecordStatus::kFailed;
  knowledge->mac = OwnerOf(identities_.MacOwner());
  knowledge->serial = OwnerOf(identities_.SerialOwner());
  // A damaged line outweighs every readable one: it may be the last word on the identity.
  if (identities_.damaged_mac_line() != 0) {
    knowledge->mac = DamagedOwner(identities_.damaged_mac_line(), mac_address, serial_number);
  }
  if (identities_.damaged_serial_line() != 0) {
    knowledge->serial = DamagedOwner(identities_.damaged_serial_line(), mac_address, serial_number);
  }
  return RecordStatus::kDone;
}

// The lock held since Open keeps every other station out, so a conflict here is one that the
// caller's look-up saw already.
RecordStatus FileRecordStore::Reserve(const RecordReservation& reservation, IdentityOwner* owner) {
  if (!reservation.rework) {
    RecordKnowledge known;
    if (LookUp(reservation.line.mac_address, reservation.line.serial_number, &known) !=
        RecordStatus::kDone) {
      lock_.Release();
      return RecordStatus::kFailed;
    }
    if (!reservation.serial_counts) known.serial = {};
    for (const IdentityOwner* held : {&known.mac, &known.serial}) {
      if (held->state == IdentityState::kFree) continue;
      *owner = *held;
      lock_.Release();
      return RecordStatus::kConflict;
    }
  }
  BoardRecordLine line = reservation.line;
  line.reserved = true;
  const bool appended = Append(line);
  lock_.Release();
  return appended ? RecordStatus::kDone : RecordStatus::kFailed;
}

RecordStatus FileRecordStore::RecordOutcome(const BoardRecordLine& outcome) {
  BoardRecordLine line = outcome;
  line.reserved = false;
  const bool appended = Append(line);
  lock_.Release();
  return appended ? RecordStatus::kDone : RecordStatus::kFailed;
}

bool FileRecordStore::Append(const BoardRecordLine& line) {
  const char* path = settings_.name.c_str();
  if (AppendLineFlushed(path, kBoardRecordHeader, FormatBoardRecordLine(line))) return true;
  console_.Error("Couldn't write the record file %s\n", path);
  return false;
}

IdentityOwner FileRecordStore::DamagedOwner(int line, const std::string& mac_address,
                                            const std::string& serial_number) const {
  return {.state = IdentityState::kDamaged,
          .mac_address = mac_address,
          .serial_number = serial_number,
          .where = "line " + std::to_string(line) + " of " + Describe()};
}

IdentityOwner FileRecordStore::OwnerOf(const RecordedOwner& recorded) const {
  if (recorded.use == IdentityUse::kFree) return {};
  return {.state = StateOf(recorded.use),
          .mac_address = recorded.mac_address,
          .serial_number = recorded.serial_number,
          .where = "line " + std::to_string(recorded.line) + " of " + Describe()};
}
