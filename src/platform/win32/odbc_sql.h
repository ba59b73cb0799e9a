// odbc_sql.h - the ODBC declarations of odbc32, which need the Windows types declared first.
#pragma once

// clang-format off
#include <windows.h>
#include <sql.h>
#include <sqlext.h>
// clang-format on
