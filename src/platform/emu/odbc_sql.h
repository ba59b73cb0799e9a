// odbc_sql.h - the ODBC declarations as unixODBC ships them; its SQLWCHAR is 16 bits, as on
// Windows, so both systems exchange UTF-16 text with the driver. The driver manager is loaded at
// the first call, so that only a run that keeps its record in a database pays for loading it.
#pragma once

#include <sql.h>
#include <sqlext.h>

namespace odbc {

// The function |name| of unixODBC's driver manager, loaded at the first call; null when the
// driver manager is not installed.
void* DriverManagerFunction(const char* name);

// Calls the driver manager's |name|; SQL_ERROR without a driver manager, which an environment
// handle that was never allocated then reports.
template <typename Function, typename... Args>
SQLRETURN Call(const char* name, Args... args) {
  auto* function = reinterpret_cast<Function*>(DriverManagerFunction(name));
  return function == nullptr ? SQL_ERROR : function(args...);
}

inline SQLRETURN SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  return Call<decltype(::SQLAllocHandle)>("SQLAllocHandle", type, input, output);
}
inline SQLRETURN SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  return Call<decltype(::SQLFreeHandle)>("SQLFreeHandle", type, handle);
}
inline SQLRETURN SQLSetEnvAttr(SQLHENV environment, SQLINTEGER attribute, SQLPOINTER value,
                               SQLINTEGER length) {
  return Call<decltype(::SQLSetEnvAttr)>("SQLSetEnvAttr", environment, attribute, value, length);
}
inline SQLRETURN SQLSetConnectAttrW(SQLHDBC connection, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER length) {
  return Call<decltype(::SQLSetConnectAttrW)>("SQLSetConnectAttrW", connection, attribute, value,
                                              length);
}
inline SQLRETURN SQLSetStmtAttrW(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER length) {
  return Call<decltype(::SQLSetStmtAttrW)>("SQLSetStmtAttrW", statement, attribute, value, length);
}
inline SQLRETURN SQLDriverConnectW(SQLHDBC connection, SQLHWND window, SQLWCHAR* in,
                                   SQLSMALLINT in_length, SQLWCHAR* out, SQLSMALLINT out_capacity,
                                   SQLSMALLINT* out_length, SQLUSMALLINT completion) {
  return Call<decltype(::SQLDriverConnectW)>("SQLDriverConnectW", connection, window, in, in_length,
                                             out, out_capacity, out_length, completion);
}
inline SQLRETURN SQLGetInfoW(SQLHDBC connection, SQLUSMALLINT type, SQLPOINTER value,
                             SQLSMALLINT capacity, SQLSMALLINT* length) {
  return Call<decltype(::SQLGetInfoW)>("SQLGetInfoW", connection, type, value, capacity, length);
}
inline SQLRETURN SQLDisconnect(SQLHDBC connection) {
  return Call<decltype(::SQLDisconnect)>("SQLDisconnect", connection);
}
inline SQLRETURN SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
  return Call<decltype(::SQLEndTran)>("SQLEndTran", type, handle, completion);
}
inline SQLRETURN SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* message,
                                SQLSMALLINT capacity, SQLSMALLINT* length) {
  return Call<decltype(::SQLGetDiagRecW)>("SQLGetDiagRecW", type, handle, record, state, native,
                                          message, capacity, length);
}
inline SQLRETURN SQLBindParameter(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT direction,
                                  SQLSMALLINT value_type, SQLSMALLINT parameter_type, SQLULEN size,
                                  SQLSMALLINT digits, SQLPOINTER value, SQLLEN capacity,
                                  SQLLEN* length) {
  return Call<decltype(::SQLBindParameter)>("SQLBindParameter", statement, number, direction,
                                            value_type, parameter_type, size, digits, value,
                                            capacity, length);
}
inline SQLRETURN SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length) {
  return Call<decltype(::SQLExecDirectW)>("SQLExecDirectW", statement, text, length);
}
inline SQLRETURN SQLRowCount(SQLHSTMT statement, SQLLEN* count) {
  return Call<decltype(::SQLRowCount)>("SQLRowCount", statement, count);
}
inline SQLRETURN SQLNumResultCols(SQLHSTMT statement, SQLSMALLINT* columns) {
  return Call<decltype(::SQLNumResultCols)>("SQLNumResultCols", statement, columns);
}
inline SQLRETURN SQLFetch(SQLHSTMT statement) {
  return Call<decltype(::SQLFetch)>("SQLFetch", statement);
}
inline SQLRETURN SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT type,
                            SQLPOINTER value, SQLLEN capacity, SQLLEN* length) {
  return Call<decltype(::SQLGetData)>("SQLGetData", statement, column, type, value, capacity,
                                      length);
}

}  // namespace odbc
