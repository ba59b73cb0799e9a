// database_server.cpp - starting and removing the database tests' server.
#include "support/database_server.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "record/record_identity.h"
#include "record/record_schema.h"

namespace {

constexpr int kNotInstalled = 77;

// Runs the cluster script with |arguments|; its standard output in |*output|, the exit code back.
int RunScript(const std::string& arguments, std::string* output) {
  const std::string command =
      std::string(QNT_SOURCE_DIR) + "/scripts/record-database.sh " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[1024];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, count);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ValueAfter(const std::string& text, const std::string& key) {
  const size_t at = text.find(key + "=");
  if (at == std::string::npos) return "";
  const size_t begin = at + key.size() + 1;
  return text.substr(begin, text.find('\n', begin) - begin);
}

}  // namespace

// The drivers keep a few bytes of a failed login to the end of the process; the leak check of
// the sanitizer build passes over the drivers' own allocations.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the sanitizer's own hook.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:psqlodbcw.so\nleak:libmaodbc.so\nleak:libmariadb.so\n";
}

DatabaseServer::DatabaseServer() {
  std::string output;
  // CTest starts one server of each engine for all the database tests it runs, and names its
  // folder; a test program run alone starts its own (the script takes the engine from
  // QNT_DB_ENGINE too).
  const char* shared = std::getenv("QNT_DB_SERVER_DIR");
  owned_ = shared == nullptr || *shared == '\0';
  const int code = RunScript(owned_ ? "start --watch " + std::to_string(getpid())
                                    : "describe '" + std::string(shared) + "'",
                             &output);
  if (code == kNotInstalled) {
    why_ = "the database engine is not installed (scripts/install-deps.sh installs it): " + output;
    return;
  }
  const std::string dir = ValueAfter(output, "QNT_DB_DIR");
  if (code != 0 || dir.empty()) {
    why_ = "the database server did not start: " + output;
    return;
  }
  dir_ = dir;
  engine_ = ValueAfter(output, "QNT_DB_ENGINE");
  const char* wanted = std::getenv("QNT_DB_ENGINE");
  if (wanted != nullptr && *wanted != '\0' && engine_ != wanted) {
    why_ = "the server in " + dir + " is " + engine_ + ", not " + wanted;
    dir_.clear();
    return;
  }
  socket_ = ValueAfter(output, "QNT_DB_SOCKET");
  setenv("ODBCINI", ValueAfter(output, "ODBCINI").c_str(), 1);
  // The programs the tests run (the sanitizer build of them) pass over the driver's bytes too.
  const std::string suppressions = dir_ + "/lsan.supp";
  if (FILE* file = std::fopen(suppressions.c_str(), "w")) {
    std::fputs(__lsan_default_suppressions(), file);
    std::fclose(file);
    const char* options = std::getenv("LSAN_OPTIONS");
    const std::string all = (options != nullptr ? std::string(options) + ":" : std::string()) +
                            "suppressions=" + suppressions;
    setenv("LSAN_OPTIONS", all.c_str(), 1);
  }
}

DatabaseServer::~DatabaseServer() {
  if (!running() || !owned_) return;
  std::string output;
  RunScript("stop '" + dir_ + "'", &output);
}

DatabaseServer& DatabaseServer::Shared() {
  static DatabaseServer server;
  return server;
}

std::string DatabaseServer::DriverConnection(const std::string& password) const {
  if (engine_ == "mariadb") {
    return "Driver={MariaDB Unicode};Socket=" + socket_ +
           ";Database=qnt5200;UID=qnt5200_station;PWD=" + password;
  }
  return "Driver={PostgreSQL Unicode};Servername=" + dir_ +
         ";Port=5432;Database=qnt5200;UID=qnt5200_station;PWD=" + password;
}

std::string DatabaseServer::SocketPath() const {
  return engine_ == "mariadb" ? socket_ : socket_ + "/.s.PGSQL.5432";
}

std::string DatabaseServer::StationThrough(int port) const {
  if (engine_ != "mariadb") {
    return "DSN=qnt5200_line;Servername=127.0.0.1;Port=" + std::to_string(port);
  }
  // The DSN names the server's socket, which the driver would use before any host: the same
  // login with no DSN, its password taken from the DSN's entry.
  std::ifstream ini(dir_ + "/odbc.ini");
  std::string line;
  std::string password;
  bool station = false;
  while (std::getline(ini, line)) {
    if (line.starts_with("[")) station = line == "[qnt5200_line]";
    if (station && line.starts_with("Password = ")) password = line.substr(11);
  }
  return "Driver={MariaDB Unicode};Server=127.0.0.1;Port=" + std::to_string(port) +
         ";Database=qnt5200;UID=qnt5200_station;PWD=" + password;
}

std::vector<int> DatabaseServer::Processes() const {
  std::vector<int> pids;
  const bool mariadb = engine_ == "mariadb";
  std::ifstream pid_file(dir_ + (mariadb ? "/mariadbd.pid" : "/data/postmaster.pid"));
  int main = 0;
  if (!(pid_file >> main) || main <= 0) return pids;
  pids.push_back(main);
  // MariaDB is one process; PostgreSQL's postmaster has a process for each connection and task.
  if (mariadb) return pids;
  DIR* proc = opendir("/proc");
  while (const dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
    const int pid = std::atoi(entry->d_name);
    std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line)) continue;
    // "pid (name) state ppid ...": the name may hold spaces, the part after ')' does not.
    int parent = 0;
    char state = 0;
    if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %d", &state, &parent) == 2 &&
        parent == main) {
      pids.push_back(pid);
    }
  }
  if (proc != nullptr) closedir(proc);
  return pids;
}

bool DatabaseServer::Pause() {
  std::string output;
  return RunScript("pause '" + dir_ + "'", &output) == 0;
}

bool DatabaseServer::Resume() {
  std::string output;
  return RunScript("resume '" + dir_ + "'", &output) == 0;
}

bool RunAsOwner(const std::string& sql) {
  Database database;
  if (!database.Connect(DatabaseServer::kOwner, {}) || !database.Execute(sql, {})) {
    ADD_FAILURE() << sql << ": " << database.error().Text();
    return false;
  }
  return true;
}

std::string QueryText(const std::string& sql) {
  Database database;
  std::string text;
  if (!database.Connect(DatabaseServer::kOwner, {}) ||
      !database.Query(sql, {}, [&](const DatabaseRow& row) {
        text = row.empty() ? "" : row[0].value_or("");
        return false;
      })) {
    ADD_FAILURE() << sql << ": " << database.error().Text();
  }
  return text;
}

std::string IdentityStateText(const std::string& mac_address) {
  Database database;
  IdentityOwner owner;
  std::string last_run;
  if (!database.Connect(DatabaseServer::kOwner, {}) ||
      !ReadMacIdentity(database, mac_address, &owner, &last_run)) {
    ADD_FAILURE() << mac_address << ": " << database.error().Text();
    return "";
  }
  switch (owner.state) {
    case IdentityState::kFree:
      return "free";
    case IdentityState::kReserved:
      return "reserved";
    case IdentityState::kFailed:
    case IdentityState::kWritten:
      return "failed";
    case IdentityState::kProgrammed:
      return "programmed";
    case IdentityState::kDamaged:
      return "damaged";
  }
  return "";
}

void DatabaseTest::SetUp() {
  server_ = &DatabaseServer::Shared();
  ASSERT_TRUE(server_->running()) << server_->why();
  for (const char* table : {"qnt5200_run", "qnt5200_identity", "qnt5200_line", "qnt5200_mac",
                            "qnt5200_takeover", "qnt5200_serial", "qnt5200_schema"}) {
    RunAsOwner(std::string("DROP TABLE IF EXISTS ") + table);
  }
  Database database;
  ASSERT_TRUE(database.Connect(DatabaseServer::kOwner, {})) << database.error().Text();
  ASSERT_TRUE(CreateRecordSchema(database)) << database.error().Text();
}
