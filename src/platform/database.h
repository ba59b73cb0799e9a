// database.h - the database service: a connection to a database server through ODBC, statements
// whose values are always bound as parameters, rows read back as text, transactions, and the
// server's own errors. The same calls serve Windows (odbc32) and Linux (unixODBC).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/exchange_watch.h"

// What the driver said of the last call that failed.
struct DatabaseError {
  std::string sqlstate;  // five characters; empty when none was given
  std::string message;   // the driver's own text
  // Class 23: a unique key (or another constraint) refused the row.
  bool Conflict() const { return sqlstate.rfind("23", 0) == 0; }
  // "[SQLSTATE] message", or the message alone.
  std::string Text() const;
};

// A value bound to one '?' of a statement: text (UTF-8), a whole number, or NULL.
struct DatabaseValue {
  enum class Kind { kNull, kText, kNumber } kind = Kind::kNull;
  std::string text;
  int64_t number = 0;

  static DatabaseValue Text(std::string value) {
    return {.kind = Kind::kText, .text = std::move(value)};
  }
  static DatabaseValue Number(int64_t value) { return {.kind = Kind::kNumber, .number = value}; }
  static DatabaseValue Null() { return {}; }
};

// One row as text (UTF-8), a NULL column as none.
using DatabaseRow = std::vector<std::optional<std::string>>;

// A dead server costs these, not the system's minutes: the login, and each exchange after it
// (a statement with its rows, a COMMIT), counted on the station whatever the server does.
struct DatabaseTimeouts {
  int login_seconds = 5;
  int query_seconds = 15;
};

// The SQLSTATE of an exchange that outlived its deadline (the connection is then cut).
inline constexpr char kDatabaseTimedOut[] = "HYT00";

// One connection. Statements run in autocommit mode outside Begin() ... Commit()/Rollback().
// Every call returns false on failure and leaves the driver's words in error().
class Database {
 public:
  Database() = default;
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // |connection| is an ODBC connection string ("DSN=line1", "Driver={...};Server=...").
  bool Connect(const std::string& connection, const DatabaseTimeouts& timeouts);
  bool connected() const { return connection_ != nullptr; }

  // The server's product as the driver names it ("PostgreSQL", "MariaDB", "MySQL",
  // "Microsoft SQL Server"); empty when the driver does not say.
  std::string ServerProduct();

  bool Begin();
  bool Commit();
  // Ends the transaction. error() keeps the words of the statement that failed unless the
  // rollback fails too; after an error PostgreSQL takes no statement before it.
  bool Rollback();

  // Runs |sql| with its '?' bound to |values| in order; |*rows| (when given) is the count of rows
  // it changed.
  bool Execute(const std::string& sql, const std::vector<DatabaseValue>& values,
               int64_t* rows = nullptr);
  // Runs a query and hands each row to |each| as it is fetched; |each| returns false to stop.
  bool Query(const std::string& sql, const std::vector<DatabaseValue>& values,
             const std::function<bool(const DatabaseRow&)>& each);

  const DatabaseError& error() const { return error_; }

 private:
  void Disconnect();
  bool Run(const std::string& sql, const std::vector<DatabaseValue>& values,
           const std::function<bool(const DatabaseRow&)>* each, int64_t* rows);
  bool Exchange(const std::string& sql, const std::vector<DatabaseValue>& values,
                const std::function<bool(const DatabaseRow&)>* each, int64_t* rows);
  bool Check(int16_t result, int16_t handle_type, void* handle);
  bool EndTransaction(bool commit);
  void Arm();
  // Ends the watch of an exchange; |done| stays when the deadline held, else the words say so.
  bool Disarm(bool done);

  void* environment_ = nullptr;  // SQLHENV
  void* connection_ = nullptr;   // SQLHDBC
  DatabaseTimeouts timeouts_;
  DatabaseError error_;
  // The connection string's passwords: a driver may quote the string in its messages.
  std::vector<std::string> secrets_;
  ExchangeWatch watch_;
};

// What messages call a connection string that names neither a DSN nor a server or database.
inline constexpr char kConnectionInEnvironment[] = "the connection string in QNT5200_RECORD";

// Every text in |connection| that a driver may take for a password (PWD=, Password=, a password=
// inside a braced value, a URI's user:password@), in each form it may be echoed, longest first.
std::vector<std::string> ConnectionSecrets(const std::string& connection);
// |text| with each of |secrets| replaced by "***".
std::string WithoutSecrets(std::string text, const std::vector<std::string>& secrets);

// The database a connection string names, for messages: "DSN line1", "qnt5200 on db1:5432" (its
// Database= and Server=, Servername=, Host= or Socket= with Port=), or kConnectionInEnvironment
// when it names none of them; never a password.
std::string ConnectionServer(const std::string& connection);
