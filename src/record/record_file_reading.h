// record_file_reading.h - the one place where the file store asks the record reader what a record
// file knows of the identities a run needs, so that the reader's workings may change behind it.
#pragma once

#include "format/record_identities.h"
#include "platform/console.h"

// Reads the record file |path| into |*identities|; lines that cannot be read are warned of on
// |console| and passed over. False when the file cannot be read.
bool ReadRecordFileIdentities(const char* path, Console& console, RecordIdentities* identities);

// True when some identity may be held by a board whose run did not succeed.
bool HoldsUnfinished(const RecordIdentities& identities);

// The record's last word on |key| (a canonical MAC address or a serial number), or nullptr.
const IdentityEntry* FindMacAddress(const RecordIdentities& identities, const std::string& key);
const IdentityEntry* FindSerialNumber(const RecordIdentities& identities, const std::string& key);
