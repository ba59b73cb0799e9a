// file_record_store.h - the per-board record as a CSV file (RecordStore's file store): locked for
// a station's turn, read once, one flushed append per transaction.
#pragma once

#include <string>

#include "format/record_identities.h"
#include "platform/user_file.h"
#include "record/record_store.h"

class FileRecordStore : public RecordStore {
 public:
  FileRecordStore(RecordStoreSettings settings, Console& console);

  std::string Describe() const override;
  RecordStatus Open() override;
  RecordStatus MayHoldUnfinished(bool* may) override;
  RecordStatus LookUp(const std::string& mac_address, const std::string& serial_number,
                      RecordKnowledge* knowledge) override;
  RecordStatus Reserve(const RecordReservation& reservation, IdentityOwner* owner) override;
  RecordStatus RecordOutcome(const BoardRecordLine& outcome) override;

 private:
  bool Lock();
  bool Append(const BoardRecordLine& line);
  IdentityOwner OwnerOf(const IdentityEntry* entry) const;

  RecordStoreSettings settings_;
  Console& console_;
  UserFileLock lock_;  // held from Open until the turn ends
  RecordIdentities identities_;
};
