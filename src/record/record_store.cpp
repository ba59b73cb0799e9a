// record_store.cpp - choosing the store a record name names.
#include "record/record_store.h"

#include "record/file_record_store.h"

std::unique_ptr<RecordStore> MakeRecordStore(const RecordStoreSettings& settings,
                                             Console& console) {
  return std::make_unique<FileRecordStore>(settings, console);
}

RecordStatus RecordStore::FindUnfinished(const std::vector<std::string>& mac_addresses,
                                         IdentityOwner* owner) {
  *owner = {};
  for (const std::string& mac_address : mac_addresses) {
    RecordKnowledge known;
    if (const RecordStatus status = LookUp(mac_address, "", &known); status != RecordStatus::kDone) {
      return status;
    }
    const IdentityState state = known.mac.state;
    if (state == IdentityState::kReserved || state == IdentityState::kWritten ||
        state == IdentityState::kFailed) {
      *owner = known.mac;
      break;
    }
  }
  return RecordStatus::kDone;
}
