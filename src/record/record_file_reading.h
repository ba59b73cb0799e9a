// record_file_reading.h - the one place where the file store asks the record reader what a record
// file knows of the identities a run needs, so that the reader's workings may change behind it.
#pragma once

#include <string>

#include "format/record_identities.h"
#include "platform/console.h"

// Reads the record file |path| as a stream into |*identities|, for a run that means to give its
// board |mac_address| (canonical) and |serial_number| (either may be empty); lines that cannot be
// read are warned of on |console| and passed over. False after its message when the file cannot
// be read.
bool ReadRecordFileIdentities(const char* path, const std::string& mac_address,
                              const std::string& serial_number, Console& console,
                              RecordIdentities* identities);
