// file_record_store.h - the per-board record as a CSV file (RecordStore's file store): locked for
// a station's turn, read once, one flushed append per transaction.
#pragma once

#include <string>
#include <vector>

#include "format/record_identities.h"
#include "platform/user_file.h"
#include "record/record_store.h"

class FileRecordStore : public RecordStore {
 public:
  FileRecordStore(RecordStoreSettings settings, Console& console);

  std::string Describe() const override;
  RecordStatus Open() override;
  RecordStatus MayHoldUnfinished(bool* may) override;
  RecordStatus FindUnfinished(const std::vector<std::string>& mac_addresses,
                              IdentityOwner* owner) override;
  RecordStatus LookUp(const std::string& mac_address, const std::string& serial_number,
                      RecordKnowledge* knowledge) override;
  RecordStatus Reserve(const RecordReservation& reservation, IdentityOwner* owner) override;
  RecordStatus RecordOutcome(const BoardRecordLine& outcome) override;

 private:
  bool Lock();
  bool ReadFor(const std::string& mac_address, const std::string& serial_number);
  bool Append(const BoardRecordLine& line);
  IdentityOwner OwnerOf(const RecordedOwner& recorded) const;
  IdentityOwner DamagedOwner(int line, const std::string& mac_address,
                             const std::string& serial_number) const;

  RecordStoreSettings settings_;
  Console& console_;
  UserFileLock lock_;  // held from Open until the turn ends
  // The record as read for one identity; read again only for another one. The lock held since
  // Open keeps it true for the whole turn.
  RecordIdentities identities_;
  bool read_ = false;
  std::string read_mac_address_;
  std::string read_serial_number_;
};
