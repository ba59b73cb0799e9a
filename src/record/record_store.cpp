// record_store.cpp - choosing the store a record name names: "odbc:" and a connection string is
// a database, anything else the CSV file.
#include "record/record_store.h"

#include "record/database_record_store.h"
#include "record/file_record_store.h"
#include "record/record_schema.h"

std::unique_ptr<RecordStore> MakeRecordStore(const RecordStoreSettings& settings,
                                             Console& console) {
  std::string connection;
  if (IsDatabaseRecord(settings.name, &connection)) {
    return std::make_unique<DatabaseRecordStore>(connection, console);
  }
  return std::make_unique<FileRecordStore>(settings, console);
}

RecordStatus RecordStore::FindUnfinished(const std::vector<std::string>& mac_addresses,
                                         IdentityOwner* owner) {
  *owner = {};
  for (const std::string& mac_address : mac_addresses) {
    RecordKnowledge known;
    if (const RecordStatus status = LookUp(mac_address, "", &known);
        status != RecordStatus::kDone) {
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
