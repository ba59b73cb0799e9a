// postgres_cluster.h - the throwaway PostgreSQL cluster of a database test program: started on
// first use by scripts/record-database.sh (an unprivileged owner, a socket in a temporary folder),
// stopped and removed when the program ends, and by the script's guard if the program is killed.
// The DSNs it hands out live in an odbc.ini that ODBCINI names for this process and its children.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/database.h"

class PostgresCluster {
 public:
  // The database's owner (creates the tables) and a station's user (reads and writes them).
  static constexpr char kOwner[] = "DSN=qnt5200_owner";
  static constexpr char kStation[] = "DSN=qnt5200_line";

  // The cluster of this test program; not running() when PostgreSQL is not installed or did not
  // start (why() says which).
  static PostgresCluster& Shared();
  ~PostgresCluster();

  bool running() const { return !dir_.empty(); }
  const std::string& why() const { return why_; }
  const std::string& dir() const { return dir_; }
  // The server down and up again, its data kept.
  bool Pause();
  bool Resume();

 private:
  PostgresCluster();
  std::string dir_;
  std::string why_;
};

// A test against the shared cluster: skipped where PostgreSQL is missing; each test starts from a
// database whose record tables were created afresh (as the owner).
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  PostgresCluster* cluster_ = nullptr;
};

// Runs |sql| as the owner; false after an ADD_FAILURE naming the error.
bool RunAsOwner(const std::string& sql);
// The first column of the first row of |sql| (as the owner), or "" when none.
std::string QueryText(const std::string& sql);
// The state the record's rows give |mac_address|: "free", "reserved", "failed" or "programmed".
std::string IdentityStateText(const std::string& mac_address);
