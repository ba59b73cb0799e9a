// database_deadlines.h - how long a station waits for the record's server: the defaults, or the
// seconds a station sets in QNT5200_RECORD_TIMEOUT (each exchange) and
// QNT5200_RECORD_LOGIN_TIMEOUT (the login).
#pragma once

#include "platform/database.h"

inline constexpr char kRecordTimeoutEnvironment[] = "QNT5200_RECORD_TIMEOUT";
inline constexpr char kRecordLoginTimeoutEnvironment[] = "QNT5200_RECORD_LOGIN_TIMEOUT";

// A value that is not a whole number of seconds from 1 to 3600 leaves its default.
DatabaseTimeouts RecordDeadlines();
