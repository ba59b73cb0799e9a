// file_record_store.cpp - the CSV record: its turn taken with the file's lock, its identities read
// once at Open, and each transaction one line appended in a single flushed write.
#include "record/file_record_store.h"

#include <utility>

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
  if (!Lock() || !ReadRecordFileIdentities(path, console_, &identities_)) {
    console_.Error("Couldn't read the record file %s\n", path);
    return RecordStatus::kFailed;
  }
  return RecordStatus::kDone;
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
  *may = HoldsUnfinished(identities_);
  return RecordStatus::kDone;
}

RecordStatus FileRecordStore::LookUp(const std::string& mac_address,
                                     const std::string& serial_number, RecordKnowledge* knowledge) {
  knowledge->mac = OwnerOf(FindMacAddress(identities_, mac_address));
  knowledge->serial = OwnerOf(FindSerialNumber(identities_, serial_number));
  return RecordStatus::kDone;
}

// The lock held since Open keeps every other station out, so a conflict here is one that the
// caller's look-up saw already.
RecordStatus FileRecordStore::Reserve(const RecordReservation& reservation, IdentityOwner* owner) {
  if (!reservation.rework) {
    RecordKnowledge known;
    LookUp(reservation.line.mac_address,
           reservation.serial_counts ? reservation.line.serial_number : std::string(), &known);
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

IdentityOwner FileRecordStore::OwnerOf(const IdentityEntry* entry) const {
  if (entry == nullptr) return {};
  return {.state = StateOf(entry->use),
          .mac_address = entry->mac_address,
          .serial_number = entry->serial_number,
          .where = "line " + std::to_string(entry->line) + " of " + Describe()};
}
