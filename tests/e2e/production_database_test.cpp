// -w runs whose per-board record is a database (-t odbc:...): the built utility on emulated
// adapters, a real database server behind it (PostgreSQL, then MariaDB), stations and lines sharing
// it, and the server going away before a run and between a run's two transactions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "support/database_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kLine[] = "-t odbc:DSN=qnt5200_line";

class ProductionDatabase : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    ini_ = ReadFileText(std::string(QNT_SOURCE_DIR) + "/examples/board.ini");
    WriteFileText(work_.File("board.ini"), ini_);
  }
  // Adapters 0 to |count| - 1, blank.
  void CreateAdapters(int count, const char* clock = "virtual") {
    for (int adapter = 0; adapter < count; ++adapter) {
      const ProgramRun run =
          RunEmuTool(emu_.path().string(),
                     "create --adapter " + std::to_string(adapter) + " --clock " + clock);
      ASSERT_EQ(run.exit_code, 0) << run.output;
    }
  }
  ProgramRun Run(const std::string& arguments) {
    return RunUtility(emu_.path().string(), arguments, work_.path().string());
  }
  // The board's MAC address as its EEPROM holds it, "" when blank.
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
  // board.ini with its MAC address range starting at |first|.
  void WriteIni(const std::string& name, const std::string& first) {
    std::string ini = ini_;
    ini.replace(ini.find("CurrentMacAddress = 00:11:22:33:44:55"), 37,
                "CurrentMacAddress = " + first);
    WriteFileText(work_.File(name), ini);
  }

  std::string ini_;
  TempDir emu_;
  TempDir work_;
};

TEST_F(ProductionDatabase, TwoLinesWithOverlappingRangesNeverShareAMacAddress) {
  CreateAdapters(3);
  WriteIni("line1.ini", "00:11:22:33:44:55");
  WriteIni("line2.ini", "00:11:22:33:44:56");
  ASSERT_EQ(Run(std::string("-X 0 -w -i line1.ini -s ") + kLine).exit_code, 0);
  ASSERT_EQ(Run(std::string("-X 1 -w -i line1.ini -s ") + kLine).exit_code, 0);
  const ProgramRun second = Run(std::string("-X 2 -w -i line2.ini -s ") + kLine);
  EXPECT_EQ(second.exit_code, 10);
  EXPECT_NE(second.output.find("ERROR: MAC address 00:11:22:33:44:56 was programmed already: the "
                               "record database DSN qnt5200_line (station "),
            std::string::npos)
      << second.output;
  EXPECT_NE(second.output.find(", adapter 1, 20"), std::string::npos) << second.output;
  // Refused before the board was touched, the INI file as it was.
  EXPECT_EQ(BoardMac(2), "");
  EXPECT_NE(ReadFileText(work_.File("line2.ini")).find("CurrentMacAddress = 00:11:22:33:44:56"),
            std::string::npos);
  EXPECT_EQ(QueryText("SELECT COUNT(*) FROM qnt5200_line WHERE written = 'refused'"), "1");
}

TEST_F(ProductionDatabase, AServerThatIsDownRefusesTheRunBeforeTheBoardIsTouched) {
  CreateAdapters(1);
  ASSERT_TRUE(server_->Pause());
  const ProgramRun run = Run(std::string("-w -i board.ini -s ") + kLine);
  ASSERT_TRUE(server_->Resume());
  EXPECT_EQ(run.exit_code, 10);
  // A server that is gone: 08001 from PostgreSQL's driver, HY000 from MariaDB's.
  EXPECT_NE(run.output.find("ERROR: Couldn't reach the record database DSN qnt5200_line: ["),
            std::string::npos)
      << run.output;
  EXPECT_EQ(BoardMac(0), "");
  EXPECT_EQ(ReadFileText(work_.File("board.ini")), ini_);
}

TEST_F(ProductionDatabase, AServerLostBetweenTheTwoTransactionsLeavesTheIdentityUsed) {
  // The link comes up 1.5 s after the write: the server goes down in between.
  CreateAdapters(2, "real");
  ASSERT_EQ(RunEmuTool(emu_.path().string(), "link --partner 1000fd --delay 1500").exit_code, 0);
  std::string output;
  const std::string command = "cd '" + work_.path().string() + "' && QNT5200_EMU_DIR='" +
                              emu_.path().string() + "' '" + QNT_TOOL_PATH +
                              "' -w -i board.ini -s -l 1000fd " + kLine + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  for (int wait = 0; wait < 200 && QueryText("SELECT COUNT(*) FROM qnt5200_mac") == "0"; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  const bool paused = server_->Pause();
  char buffer[4096];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
  const int status = pclose(pipe);
  ASSERT_TRUE(paused);
  ASSERT_TRUE(server_->Resume());
  EXPECT_EQ(WEXITSTATUS(status), 10) << output;
  EXPECT_NE(output.find("ERROR: Couldn't write the outcome to the record database DSN "
                        "qnt5200_line: "),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("the identity stays reserved for this board"), std::string::npos);
  EXPECT_EQ(BoardMac(0), "00:11:22:33:44:55");
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:55"), "reserved");
  // The reservation's line reads as the file record's does.
  EXPECT_EQ(QueryText("SELECT result FROM qnt5200_line WHERE kind = 'reserve'"), "reserved");

  // Another board is refused it; the board that holds it is programmed with it again.
  WriteIni("again.ini", "00:11:22:33:44:55");
  ProgramRun run = Run(std::string("-X 1 -w -i again.ini ") + kLine);
  EXPECT_EQ(run.exit_code, 10) << run.output;
  run = Run(std::string("-X 0 -w -i again.ini ") + kLine);
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(IdentityStateText("00:11:22:33:44:55"), "programmed");
}

TEST_F(ProductionDatabase, AHostileSerialNumberAndFileNameArriveAsWritten) {
  CreateAdapters(1);
  const std::string serial = "';DROP--\xC3\xBC\"";
  const std::string file = "it's, \"x\"; DROP TABLE qnt5200_run -- \xE4\xB8\xAD.ini";
  std::string ini = ini_;
  ini.replace(ini.find("CurrentSerialNumber = 000000000001"), 34,
              "CurrentSerialNumber = " + serial);
  ini.replace(ini.find("SerialNumberIncrement = 1"), 25, "SerialNumberIncrement = 0");
  WriteFileText(work_.File(file), ini);
  // The connection string from the environment, as a station keeps its password off the line.
  setenv("QNT5200_RECORD", "DSN=qnt5200_line", 1);
  const ProgramRun run =
      Run("-w -i 'it'\\''s, \"x\"; DROP TABLE qnt5200_run -- \xE4\xB8\xAD.ini' -t odbc:");
  unsetenv("QNT5200_RECORD");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(QueryText("SELECT serial_number FROM qnt5200_line"), serial);
  EXPECT_EQ(QueryText("SELECT file_name FROM qnt5200_line"), file);
}

// Eight stations share one INI file and the server; runs are killed at random moments. Whatever
// died where, no MAC address is on two boards and every board written is in the runs table.
TEST_F(ProductionDatabase, EightStationsKilledAtRandomNeverShareAnIdentity) {
  constexpr int kStations = 8;
  constexpr int kRunsPerStation = 3;
  CreateAdapters(kStations);
  std::vector<std::thread> stations;
  std::map<int, std::vector<std::string>> boards;  // station -> the MAC of each board it left
  std::mutex boards_lock;
  for (int station = 0; station < kStations; ++station) {
    stations.emplace_back([&, station] {
      for (int board = 0; board < kRunsPerStation; ++board) {
        // Every other run is killed after 20 to 300 ms, wherever it then is.
        const int kill_ms = (station + board) % 2 == 0 ? 20 + (station * 37 + board * 91) % 280 : 0;
        const std::string timeout =
            kill_ms == 0 ? "" : "timeout -s KILL " + std::to_string(kill_ms / 1000.0) + " ";
        RunShellIn(work_.path().string(), "QNT5200_EMU_DIR='" + emu_.path().string() + "' " +
                                              timeout + "'" + QNT_TOOL_PATH + "' -X " +
                                              std::to_string(station) + " -w -i board.ini -s " +
                                              kLine);
        const std::string mac = BoardMac(station);
        RunEmuTool(emu_.path().string(),
                   "load eeprom /dev/null --adapter " + std::to_string(station));
        const std::lock_guard<std::mutex> lock(boards_lock);
        if (!mac.empty()) boards[station].push_back(mac);
      }
    });
  }
  for (std::thread& station : stations) station.join();
  std::set<std::string> seen;
  for (const auto& [station, macs] : boards) {
    for (const std::string& mac : macs) {
      EXPECT_TRUE(seen.insert(mac).second) << mac << " on two boards";
      EXPECT_EQ(QueryText("SELECT COUNT(DISTINCT run_id) FROM qnt5200_line WHERE mac_address = '" +
                          mac + "' AND result <> '10'"),
                "1")
          << mac;
    }
  }
  EXPECT_GE(seen.size(), 8u);
  // A run killed between its reservation and its write leaves an identity no board holds.
  EXPECT_GE(std::stoul(QueryText("SELECT COUNT(*) FROM qnt5200_mac")), seen.size());
}

}  // namespace
