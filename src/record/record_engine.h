// record_engine.h - what the record's SQL must say differently on each database engine, in one
// table: the type of a time with sub-second precision, the server's own UTC time, and a time
// given as text. Everything else the record sends is SQL that every engine takes.
#pragma once

#include <string>

struct RecordEngine {
  const char* time_type;  // a UTC time to the microsecond, without a zone
  const char* now;        // the server's time in UTC, of that type
  const char* time_of;    // a '?' bound to "YYYY-MM-DD HH:MM:SS" (UTC) as that type
};

// The engine a server's product name ("PostgreSQL", "MariaDB", "MySQL", "Microsoft SQL Server")
// tells; an unknown product gets PostgreSQL's words, the standard's.
const RecordEngine& RecordEngineOf(const std::string& product);
