// A -w -s run whose record is a database behind a proxy that loses the reply to one exchange, for
// every exchange of the run, and a server that stops answering: no identity on two boards, the
// next board still gets one, every message agrees with what the database holds, and no wait
// outlasts the station's deadline.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "support/database_server.h"
#include "support/reply_proxy.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// The station's deadlines, short so that a lost reply costs the test about a second.
class ShortDeadlines {
 public:
  ShortDeadlines() {
    setenv("QNT5200_RECORD_TIMEOUT", "1", 1);
    setenv("QNT5200_RECORD_LOGIN_TIMEOUT", "1", 1);
  }
  ~ShortDeadlines() {
    unsetenv("QNT5200_RECORD_TIMEOUT");
    unsetenv("QNT5200_RECORD_LOGIN_TIMEOUT");
  }
};

// The server's processes stopped (SIGSTOP) as a hung server is, and continued on every path.
class StoppedServer {
 public:
  explicit StoppedServer(const DatabaseServer& server) : pids_(server.Processes()) {
    for (const pid_t pid : pids_) kill(pid, SIGSTOP);
  }
  ~StoppedServer() {
    for (const pid_t pid : pids_) kill(pid, SIGCONT);
  }
  bool stopped() const { return !pids_.empty(); }

 private:
  std::vector<pid_t> pids_;
};

class LostReplies : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    WriteFileText(work_.File("board.ini"),
                  ReadFileText(std::string(QNT_SOURCE_DIR) + "/examples/board.ini"));
    for (int adapter = 0; adapter < 2; ++adapter) {
      ASSERT_EQ(RunEmuTool(emu_.path().string(),
                           "create --clock virtual --adapter " + std::to_string(adapter))
                    .exit_code,
                0);
    }
    proxy_ = std::make_unique<ReplyProxy>(server_->SocketPath());
    ASSERT_NE(proxy_->port(), 0);
    record_ = "-t 'odbc:" + server_->StationThrough(proxy_->port()) + "'";
  }
  // A station's run, killed should it outlast the test's patience (a station that waits on the
  // server without end would hold the test too).
  ProgramRun Station(int adapter) {
    return RunShellIn(work_.path().string(), "QNT5200_EMU_DIR=" + Quote(emu_.path().string()) +
                                                 " timeout -s KILL 20 " + Quote(QNT_TOOL_PATH) +
                                                 " -X " + std::to_string(adapter) +
                                                 " -w -i board.ini -s " + record_ + " </dev/null");
  }
  std::string BoardMac(int adapter) {
    const ProgramRun dump =
        RunEmuTool(emu_.path().string(), "dump eeprom --adapter " + std::to_string(adapter));
    if (dump.output.size() < 7 || dump.output[0] != '\xA5') return "";
    char text[20];
    const auto* mac = reinterpret_cast<const unsigned char*>(dump.output.data() + 1);
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
  }
  void WipeBoard(int adapter) {
    RunEmuTool(emu_.path().string(), "load eeprom /dev/null --adapter " + std::to_string(adapter));
  }
  // The MAC address the INI file gives the next board.
  std::string IniMac() {
    const std::string ini = ReadFileText(work_.File("board.ini"));
    const size_t at = ini.find("CurrentMacAddress = ");
    return at == std::string::npos ? "" : ini.substr(at + 20, 17);
  }
  static std::string StateOf(const std::string& mac) { return IdentityStateText(mac); }
  // What run |run| of a board that was to get |meant| said and left agrees with the database.
  void ExpectAgreement(const ProgramRun& run, const std::string& meant, const std::string& board) {
    EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 10) << run.output;
    const std::string state = StateOf(meant);
    if (run.exit_code == 0) {
      EXPECT_EQ(board, meant) << run.output;
      EXPECT_EQ(state, "programmed") << run.output;
    }
    // A board's identity is never free in the record.
    if (!board.empty()) {
      EXPECT_NE(StateOf(board), "free") << run.output;
    }
    // Given back to the INI file only when the record holds none of it.
    if (IniMac() == meant) {
      EXPECT_EQ(state, "free") << run.output;
    }
    const auto says = [&](const char* text) { return run.output.find(text) != std::string::npos; };
    if (says("the identity stays reserved for this board")) {
      EXPECT_EQ(state, "reserved");
    }
    if (says("as programmed on this board")) {
      EXPECT_EQ(state, "programmed");
    }
    if (says("as failed on this board")) {
      EXPECT_EQ(state, "failed");
    }
    if (says("it holds the reservation of this run")) {
      EXPECT_NE(state, "free");
    }
    if (says("it holds no reservation of this run")) {
      EXPECT_EQ(state, "free");
    }
    if (says("so no board will be given it")) {
      EXPECT_EQ(board, "");
      EXPECT_NE(IniMac(), meant);
    }
  }

  ShortDeadlines deadlines_;
  TempDir emu_;
  TempDir work_;
  std::unique_ptr<ReplyProxy> proxy_;
  std::string record_;
};

TEST_F(LostReplies, AReplyLostAtAnyExchangeNeverSharesAnIdentityNorStopsTheLine) {
  std::set<std::string> given;
  int lost = 0;
  for (int exchange = 1; exchange < 80; ++exchange) {
    proxy_->LoseReply(exchange, ReplyProxy::Fault::kDrop);
    const std::string meant = IniMac();
    const ProgramRun run = Station(0);
    if (!proxy_->lost()) {
      if (proxy_->exchanges() < exchange) break;  // the run had fewer exchanges
      // An exchange with no reply (a connection closed by the station) has none to lose.
      EXPECT_EQ(run.exit_code, 0) << run.output;
      WipeBoard(0);
      continue;
    }
    ++lost;
    const std::string board = BoardMac(0);
    SCOPED_TRACE("reply " + std::to_string(exchange) + " lost");
    ExpectAgreement(run, meant, board);
    // The line goes on: the next board gets an identity no board has.
    proxy_->LoseReply(0, ReplyProxy::Fault::kDrop);
    const ProgramRun next = Station(1);
    EXPECT_EQ(next.exit_code, 0) << run.output << next.output;
    for (const std::string& mac : {board, BoardMac(1)}) {
      if (!mac.empty()) {
        EXPECT_TRUE(given.insert(mac).second) << mac << " on two boards";
      }
    }
    WipeBoard(0);
    WipeBoard(1);
  }
  EXPECT_GE(lost, 10);
}

TEST_F(LostReplies, AHeldReplyToEitherCommitIsResolvedByAskingAgain) {
  for (const int commit : {1, 2}) {
    SCOPED_TRACE("COMMIT " + std::to_string(commit));
    proxy_->LoseReply(commit, ReplyProxy::Fault::kHold, "COMMIT");
    const std::string meant = IniMac();
    const ProgramRun run = Station(0);
    ASSERT_TRUE(proxy_->lost()) << run.output;
    // The reply never comes: the station's deadline ends the wait, and the database is asked.
    EXPECT_NE(run.output.find("[HYT00] the server did not answer within 1 s"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("; asked again, it holds the "), std::string::npos) << run.output;
    EXPECT_EQ(run.exit_code, 0) << run.output;
    ExpectAgreement(run, meant, BoardMac(0));
    WipeBoard(0);
  }
}

TEST_F(LostReplies, AStoppedServerEndsTheRunWithinTheDeadline) {
  // Stopped before the login: the login's deadline refuses the run before the board is touched.
  const std::string ini = ReadFileText(work_.File("board.ini"));
  auto started = std::chrono::steady_clock::now();
  ProgramRun run;
  {
    const StoppedServer stopped(*server_);
    ASSERT_TRUE(stopped.stopped());
    run = Station(0);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << run.output;
  EXPECT_EQ(run.exit_code, 10) << run.output;
  EXPECT_EQ(BoardMac(0), "");
  EXPECT_EQ(ReadFileText(work_.File("board.ini")), ini);

  // Stopped as the reservation's COMMIT goes out: its reply never comes and the server cannot be
  // asked, so the identity counts as used and the board is not touched.
  const std::string meant = IniMac();
  std::unique_ptr<StoppedServer> stopped;
  proxy_->ActBefore(1, "COMMIT", [&] { stopped = std::make_unique<StoppedServer>(*server_); });
  started = std::chrono::steady_clock::now();
  run = Station(0);
  const auto took = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(proxy_->lost());
  stopped.reset();
  EXPECT_LT(took, std::chrono::seconds(6)) << run.output;
  EXPECT_EQ(run.exit_code, 10) << run.output;
  EXPECT_NE(run.output.find("[HYT00] the server did not answer within 1 s"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Nothing was programmed: the record may hold MAC address " + meant +
                            " and serial number 000000000001 for this run, so no board will be "
                            "given it; the INI file stays stepped past it"),
            std::string::npos)
      << run.output;
  ExpectAgreement(run, meant, BoardMac(0));
  // The line goes on once the server does.
  proxy_->LoseReply(0, ReplyProxy::Fault::kDrop);
  run = Station(1);
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(BoardMac(1), meant);
}

}  // namespace
