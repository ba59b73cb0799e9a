// odbc_database.cpp - the database service on ODBC's wide entry points, the same code for odbc32
// and unixODBC; "odbc_sql.h" is the one part each system provides in its own way: its namespace
// odbc holds the entry points this file calls.
#include <cstring>
#include <string>

#include "odbc_sql.h"
#include "platform/database.h"
#include "platform/utf16_text.h"

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text is UTF-16 on both systems");

// ODBC takes an integer attribute in its pointer argument.
SQLPOINTER AttributeValue(intptr_t value) {
  return reinterpret_cast<SQLPOINTER>(value);  // NOLINT(performance-no-int-to-ptr)
}

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

bool Succeeded(SQLRETURN result) {
  return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// The first diagnostic record of |handle|: its SQLSTATE and the driver's message.
DatabaseError DiagnosticOf(SQLSMALLINT handle_type, SQLHANDLE handle) {
  DatabaseError error;
  if (handle == SQL_NULL_HANDLE) {
    error.message = "the ODBC driver manager could not be set up";
    return error;
  }
  std::u16string state(6, u'\0');
  std::u16string message(1024, u'\0');
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  const SQLRETURN result =
      odbc::SQLGetDiagRecW(handle_type, handle, 1, Wide(state), &native, Wide(message),
                           static_cast<SQLSMALLINT>(message.size()), &length);
  if (!Succeeded(result)) {
    error.message = "the ODBC driver gave no reason";
    return error;
  }
  state.resize(5);
  message.resize(
      std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
  error.sqlstate = Utf8Of(state);
  error.message = Utf8Of(message);
  // One line, as a message quotes it.
  while (!error.message.empty() && (error.message.back() == '\n' || error.message.back() == ' ')) {
    error.message.pop_back();
  }
  for (char& c : error.message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return error;
}

// A statement handle freed on every path.
class Statement {
 public:
  explicit Statement(SQLHDBC connection) {
    if (!Succeeded(odbc::SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
      handle_ = SQL_NULL_HSTMT;
    }
  }
  ~Statement() {
    if (handle_ != SQL_NULL_HSTMT) odbc::SQLFreeHandle(SQL_HANDLE_STMT, handle_);
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  SQLHSTMT handle() const { return handle_; }

 private:
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

// The buffers a statement's bound parameters point into, alive until it has run.
struct BoundValues {
  std::vector<std::u16string> texts;
  std::vector<int64_t> numbers;
  std::vector<SQLLEN> lengths;
};

SQLRETURN BindValues(SQLHSTMT statement, const std::vector<DatabaseValue>& values,
                     BoundValues* bound) {
  bound->texts.resize(values.size());
  bound->numbers.resize(values.size());
  bound->lengths.resize(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    const DatabaseValue& value = values[i];
    const auto number = static_cast<SQLUSMALLINT>(i + 1);
    SQLRETURN result = SQL_SUCCESS;
    if (value.kind == DatabaseValue::Kind::kNumber) {
      bound->numbers[i] = value.number;
      bound->lengths[i] = 0;
      result = odbc::SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT,
                                      0, 0, &bound->numbers[i], 0, &bound->lengths[i]);
    } else {
      std::u16string& text = bound->texts[i];
      text = Utf16Of(value.text);
      text.push_back(u'\0');
      const SQLULEN characters = std::max<size_t>(text.size() - 1, 1);
      bound->lengths[i] = value.kind == DatabaseValue::Kind::kNull
                              ? SQL_NULL_DATA
                              : static_cast<SQLLEN>((text.size() - 1) * sizeof(char16_t));
      result = odbc::SQLBindParameter(
          statement, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, characters, 0, Wide(text),
          static_cast<SQLLEN>(text.size() * sizeof(char16_t)), &bound->lengths[i]);
    }
    if (!Succeeded(result)) return result;
  }
  return SQL_SUCCESS;
}

// One column of the current row, read in pieces however long it is; false on an error.
SQLRETURN ReadColumn(SQLHSTMT statement, SQLUSMALLINT column, std::optional<std::string>* value) {
  std::u16string text;
  char16_t piece[512];
  for (;;) {
    SQLLEN length = 0;
    const SQLRETURN result =
        odbc::SQLGetData(statement, column, SQL_C_WCHAR, piece, sizeof piece, &length);
    if (result == SQL_NO_DATA) break;
    if (!Succeeded(result)) return result;
    if (length == SQL_NULL_DATA) {
      value->reset();
      return SQL_SUCCESS;
    }
    const size_t capacity = sizeof piece / sizeof piece[0] - 1;
    const size_t got = length == SQL_NO_TOTAL || static_cast<size_t>(length) / 2 > capacity
                           ? capacity
                           : static_cast<size_t>(length) / 2;
    text.append(piece, got);
    if (result == SQL_SUCCESS) break;
  }
  *value = Utf8Of(text);
  return SQL_SUCCESS;
}

}  // namespace

Database::~Database() { Disconnect(); }

void Database::Disconnect() {
  watch_.Forget();
  if (connection_ != nullptr) {
    odbc::SQLDisconnect(connection_);
    odbc::SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    connection_ = nullptr;
  }
  if (environment_ != nullptr) {
    odbc::SQLFreeHandle(SQL_HANDLE_ENV, environment_);
    environment_ = nullptr;
  }
}

bool Database::Check(int16_t result, int16_t handle_type, void* handle) {
  if (Succeeded(result)) return true;
  error_ = DiagnosticOf(handle_type, handle);
  error_.message = WithoutSecrets(std::move(error_.message), secrets_);
  return false;
}

bool Database::Connect(const std::string& connection, const DatabaseTimeouts& timeouts) {
  Disconnect();
  timeouts_ = timeouts;
  secrets_ = ConnectionSecrets(connection);
  SQLHENV environment = SQL_NULL_HENV;
  if (!Succeeded(odbc::SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
    error_ = DiagnosticOf(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    return false;
  }
  environment_ = environment;
  SQLHDBC handle = SQL_NULL_HDBC;
  if (!Check(
          odbc::SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, AttributeValue(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, environment) ||
      !Check(odbc::SQLAllocHandle(SQL_HANDLE_DBC, environment, &handle), SQL_HANDLE_ENV,
             environment)) {
    Disconnect();
    return false;
  }
  const auto seconds = AttributeValue(timeouts.login_seconds);
  std::u16string text = Utf16Of(connection);
  text.push_back(u'\0');
  SQLSMALLINT ignored = 0;
  // A driver without a connection timeout still times out its queries.
  odbc::SQLSetConnectAttrW(handle, SQL_ATTR_CONNECTION_TIMEOUT, seconds, 0);
  // Not every driver keeps its login timeout once the server has accepted the connection.
  watch_.BeforeConnect();
  watch_.Arm(static_cast<uint32_t>(timeouts.login_seconds) * 1000U);
  bool connected = Check(odbc::SQLSetConnectAttrW(handle, SQL_ATTR_LOGIN_TIMEOUT, seconds, 0),
                         SQL_HANDLE_DBC, handle) &&
                   Check(odbc::SQLDriverConnectW(handle, nullptr, Wide(text), SQL_NTS, nullptr, 0,
                                                 &ignored, SQL_DRIVER_NOPROMPT),
                         SQL_HANDLE_DBC, handle);
  const bool cut = watch_.Disarm();
  watch_.AfterConnect();
  if (cut) {
    if (connected) odbc::SQLDisconnect(handle);
    connected = false;
    error_ = {.sqlstate = kDatabaseTimedOut,
              .message = "the server did not answer the login within " +
                         std::to_string(timeouts.login_seconds) + " s"};
  }
  if (!connected) {
    odbc::SQLFreeHandle(SQL_HANDLE_DBC, handle);
    Disconnect();
    return false;
  }
  connection_ = handle;
  return true;
}

std::string Database::ServerProduct() {
  std::u16string name(128, u'\0');
  SQLSMALLINT length = 0;
  if (!Check(odbc::SQLGetInfoW(connection_, SQL_DBMS_NAME, Wide(name),
                               static_cast<SQLSMALLINT>(name.size() * sizeof(char16_t)), &length),
             SQL_HANDLE_DBC, connection_)) {
    return "";
  }
  name.resize(
      std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)) / 2, name.size() - 1));
  return Utf8Of(name);
}

void Database::Arm() { watch_.Arm(static_cast<uint32_t>(timeouts_.query_seconds) * 1000U); }

bool Database::Disarm(bool done) {
  if (!watch_.Disarm()) return done;
  error_ = {.sqlstate = kDatabaseTimedOut,
            .message = "the server did not answer within " +
                       std::to_string(timeouts_.query_seconds) + " s"};
  return false;
}

bool Database::Begin() {
  if (connection_ == nullptr) {
    error_ = {.sqlstate = "08003", .message = "not connected"};
    return false;
  }
  Arm();
  return Disarm(Check(odbc::SQLSetConnectAttrW(connection_, SQL_ATTR_AUTOCOMMIT,
                                               AttributeValue(SQL_AUTOCOMMIT_OFF), 0),
                      SQL_HANDLE_DBC, connection_));
}

bool Database::EndTransaction(bool commit) {
  if (connection_ == nullptr) {
    error_ = {.sqlstate = "08003", .message = "not connected"};
    return false;
  }
  Arm();
  const bool ended = Disarm(
      Check(odbc::SQLEndTran(SQL_HANDLE_DBC, connection_, commit ? SQL_COMMIT : SQL_ROLLBACK),
            SQL_HANDLE_DBC, connection_));
  const DatabaseError ended_error = error_;
  // Back to autocommit whatever happened, so the next statement stands on its own.
  Arm();
  odbc::SQLSetConnectAttrW(connection_, SQL_ATTR_AUTOCOMMIT, AttributeValue(SQL_AUTOCOMMIT_ON), 0);
  watch_.Disarm();
  error_ = ended_error;
  return ended;
}

bool Database::Commit() { return EndTransaction(true); }

bool Database::Rollback() { return EndTransaction(false); }

bool Database::Execute(const std::string& sql, const std::vector<DatabaseValue>& values,
                       int64_t* rows) {
  return Run(sql, values, nullptr, rows);
}

bool Database::Query(const std::string& sql, const std::vector<DatabaseValue>& values,
                     const std::function<bool(const DatabaseRow&)>& each) {
  return Run(sql, values, &each, nullptr);
}

bool Database::Run(const std::string& sql, const std::vector<DatabaseValue>& values,
                   const std::function<bool(const DatabaseRow&)>* each, int64_t* rows) {
  if (connection_ == nullptr) {
    error_ = {.sqlstate = "08003", .message = "not connected"};
    return false;
  }
  Arm();
  return Disarm(Exchange(sql, values, each, rows));
}

// The statement and its rows; the deadline starts again with each row, so that a long answer
// that keeps coming is not cut.
bool Database::Exchange(const std::string& sql, const std::vector<DatabaseValue>& values,
                        const std::function<bool(const DatabaseRow&)>* each, int64_t* rows) {
  const Statement statement(connection_);
  SQLHSTMT handle = statement.handle();
  if (handle == SQL_NULL_HSTMT) return Check(SQL_ERROR, SQL_HANDLE_DBC, connection_);
  std::u16string text = Utf16Of(sql);
  text.push_back(u'\0');
  BoundValues bound;
  const auto seconds = AttributeValue(timeouts_.query_seconds);
  if (!Check(odbc::SQLSetStmtAttrW(handle, SQL_ATTR_QUERY_TIMEOUT, seconds, 0), SQL_HANDLE_STMT,
             handle) ||
      !Check(BindValues(handle, values, &bound), SQL_HANDLE_STMT, handle)) {
    return false;
  }
  // Executed at once, its values bound: one exchange with the server (a prepared statement
  // would cost its preparation and its release too, for a statement run once).
  const SQLRETURN executed = odbc::SQLExecDirectW(handle, Wide(text), SQL_NTS);
  // A searched UPDATE or DELETE that finds no row answers SQL_NO_DATA.
  if (executed != SQL_NO_DATA && !Check(executed, SQL_HANDLE_STMT, handle)) return false;
  if (rows != nullptr) {
    SQLLEN count = 0;
    if (executed != SQL_NO_DATA &&
        !Check(odbc::SQLRowCount(handle, &count), SQL_HANDLE_STMT, handle)) {
      return false;
    }
    *rows = count;
  }
  if (each == nullptr) return true;
  SQLSMALLINT columns = 0;
  if (!Check(odbc::SQLNumResultCols(handle, &columns), SQL_HANDLE_STMT, handle)) return false;
  DatabaseRow row(static_cast<size_t>(columns));
  for (;;) {
    Arm();
    const SQLRETURN fetched = odbc::SQLFetch(handle);
    if (fetched == SQL_NO_DATA) return true;
    if (!Check(fetched, SQL_HANDLE_STMT, handle)) return false;
    for (SQLSMALLINT column = 0; column < columns; ++column) {
      if (!Check(ReadColumn(handle, static_cast<SQLUSMALLINT>(column + 1), &row[column]),
                 SQL_HANDLE_STMT, handle)) {
        return false;
      }
    }
    if (!(*each)(row)) return true;
  }
}
