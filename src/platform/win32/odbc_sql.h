// odbc_sql.h - the ODBC declarations of odbc32, which need the Windows types declared first.
#pragma once

// clang-format off
#include <windows.h>
#include <sql.h>
#include <sqlext.h>
// clang-format on

// The driver manager's entry points, linked from odbc32.
namespace odbc {
using ::SQLAllocHandle;
using ::SQLBindParameter;
using ::SQLDisconnect;
using ::SQLDriverConnectW;
using ::SQLEndTran;
using ::SQLExecDirectW;
using ::SQLFetch;
using ::SQLFreeHandle;
using ::SQLGetData;
using ::SQLGetDiagRecW;
using ::SQLGetInfoW;
using ::SQLNumResultCols;
using ::SQLRowCount;
using ::SQLSetConnectAttrW;
using ::SQLSetEnvAttr;
using ::SQLSetStmtAttrW;
}  // namespace odbc
