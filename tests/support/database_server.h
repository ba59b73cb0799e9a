// database_server.h - the throwaway database server of a database test program, PostgreSQL or
// MariaDB as the environment's QNT_DB_ENGINE says (CTest runs every database test on both):
// started on first use by scripts/record-database.sh (an unprivileged owner, a socket in a
// temporary folder), stopped and removed when the program ends, and by the script's guard if the
// program is killed. The DSNs it hands out live in an odbc.ini that ODBCINI names for this process
// and its children.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/database.h"

class DatabaseServer {
 public:
  // The database's owner (creates the tables) and a station's user (reads and writes them).
  static constexpr char kOwner[] = "DSN=qnt5200_owner";
  static constexpr char kStation[] = "DSN=qnt5200_line";

  // The server of this test program; not running() when it did not start (why() says why).
  static DatabaseServer& Shared();
  ~DatabaseServer();

  bool running() const { return !dir_.empty(); }
  const std::string& why() const { return why_; }
  const std::string& dir() const { return dir_; }
  // "postgresql" or "mariadb".
  const std::string& engine() const { return engine_; }
  // The stations' database through the engine's driver with no DSN: its server named in the
  // string itself, the stations' user and |password|.
  std::string DriverConnection(const std::string& password) const;
  // The Unix socket the server listens on.
  std::string SocketPath() const;
  // A station's connection to the stations' database through TCP on 127.0.0.1:|port| (a proxy in
  // front of SocketPath(), so that the server still sees a local login).
  std::string StationThrough(int port) const;
  // The server's processes, the main one first: what stops answering when they are all stopped.
  std::vector<int> Processes() const;
  // The server down and up again, its data kept.
  bool Pause();
  bool Resume();

 private:
  DatabaseServer();
  std::string dir_;
  std::string engine_;
  std::string socket_;
  std::string why_;
  bool owned_ = true;  // started by this program, which stops it
};

// A test against the shared server: each test starts from a database whose record tables were
// created afresh (as the owner). A server that did not start fails the test: the database tests
// are never passed over.
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  DatabaseServer* server_ = nullptr;
};

// Runs |sql| as the owner; false after an ADD_FAILURE naming the error.
bool RunAsOwner(const std::string& sql);
// The first column of the first row of |sql| (as the owner), or "" when none.
std::string QueryText(const std::string& sql);
// The state the record's rows give |mac_address|: "free", "reserved", "failed" or "programmed".
std::string IdentityStateText(const std::string& mac_address);
