// record_file_reading.cpp - the record file read whole and handed to the record reader.
#include "record/record_file_reading.h"

#include <map>
#include <string>

#include "platform/user_file.h"

namespace {

// Far beyond the lines of any production run; a longer "record" is not one.
constexpr size_t kMaxRecordBytes = 256u << 20;

const IdentityEntry* Find(const std::map<std::string, IdentityEntry>& entries,
                          const std::string& key) {
  if (key.empty()) return nullptr;
  const auto found = entries.find(key);
  return found == entries.end() ? nullptr : &found->second;
}

}  // namespace

bool ReadRecordFileIdentities(const char* path, Console& console, RecordIdentities* identities) {
  std::string record;
  if (!ReadWholeUserFile(path, kMaxRecordBytes, &record)) return false;
  *identities = ReadRecordIdentities(record);
  for (const int line : identities->malformed_lines) {
    console.Warning("Line %d of the record file %s cannot be read; it is passed over\n", line,
                    path);
  }
  return true;
}

bool HoldsUnfinished(const RecordIdentities& identities) { return identities.HasOpenIdentities(); }

const IdentityEntry* FindMacAddress(const RecordIdentities& identities, const std::string& key) {
  return Find(identities.by_mac, key);
}

const IdentityEntry* FindSerialNumber(const RecordIdentities& identities, const std::string& key) {
  return Find(identities.by_serial, key);
}
