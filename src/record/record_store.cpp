// record_store.cpp - choosing the store a record name names.
#include "record/record_store.h"

#include "record/file_record_store.h"

std::unique_ptr<RecordStore> MakeRecordStore(const RecordStoreSettings& settings,
                                             Console& console) {
  return std::make_unique<FileRecordStore>(settings, console);
}
