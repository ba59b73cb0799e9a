// record_file_reading.cpp - the record file handed to the record reader as a stream.
#include "record/record_file_reading.h"

#include "platform/user_file.h"

bool ReadRecordFileIdentities(const char* path, const std::string& mac_address,
                              const std::string& serial_number, Console& console,
                              RecordIdentities* identities) {
  UserFileReader file;
  if (!file.Open(path) || !identities->Read(file, mac_address, serial_number)) {
    console.Error("Couldn't read the record file %s\n", path);
    return false;
  }
  for (const int line : identities->malformed_lines()) {
    console.Warning("Line %d of the record file %s cannot be read; it is passed over\n", line,
                    path);
  }
  return true;
}
