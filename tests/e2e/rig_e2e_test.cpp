// rig_e2e_test.cpp - qnt5200-rig running the built utility on four emulated adapters at once:
// four boards with four identities, a failing and a killed slot beside programmed ones, sets
// repeated at the operator's word, and its table on a console and in a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class Rig : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int adapter = 0; adapter < 4; ++adapter) {
      ASSERT_EQ(
          RunEmuTool(emu_.path().string(), "create --adapter " + std::to_string(adapter)).exit_code,
          0);
    }
    WriteFileText(work_.File("board.ini"), ReadFileText(kExampleIni));
  }

  // The rig with |arguments| in the work folder, |input| on its standard input; standard output
  // is collected, standard error kept in rig.err.
  ProgramRun RunRig(const std::string& arguments, const std::string& input = "") {
    WriteFileText(work_.File("input.txt"), input);
    return RunShell(Environment() + Quote(QNT_RIG_TOOL_PATH) + " " + arguments +
                    " <input.txt 2>rig.err");
  }
  std::string Environment() const {
    return "cd " + Quote(work_.path().string()) +
           " && QNT5200_EMU_DIR=" + Quote(emu_.path().string()) + " ";
  }
  void Emu(const std::string& arguments) {
    ASSERT_EQ(RunEmuTool(emu_.path().string(), arguments).exit_code, 0) << arguments;
  }
  // The MAC address in the EEPROM image of |adapter|.
  std::string BoardMac(int adapter) {
    const std::string eeprom =
        RunEmuTool(emu_.path().string(), "dump eeprom --adapter " + std::to_string(adapter)).output;
    std::string mac;
    for (size_t at = 1; at <= 6 && at < eeprom.size(); ++at) {
      char part[4];
      std::snprintf(part, sizeof(part), at == 1 ? "%02X" : ":%02X",
                    static_cast<unsigned char>(eeprom[at]));
      mac += part;
    }
    return mac;
  }
  std::vector<std::string> SetFolders() const {
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(work_.path())) {
      if (entry.path().filename().string().rfind("rig-", 0) == 0) {
        folders.push_back(entry.path().string());
      }
    }
    return folders;
  }
  std::string Ini() const { return ReadFileText(work_.File("board.ini")); }

  TempDir emu_;
  TempDir work_;
};

TEST_F(Rig, ProgramsFourBoardsAtOnceWithFourIdentitiesAndOneDocument) {
  const ProgramRun run = RunRig("-a -X 0-3 -- -w -i board.ini -s -t rec.csv");
  const std::string text = ReadFileText(work_.File("rig.err"));
  ASSERT_EQ(run.exit_code, 0) << text << run.output;

  const nlohmann::json document = nlohmann::json::parse(run.output, nullptr, false);
  ASSERT_TRUE(document.is_object()) << run.output;
  EXPECT_EQ(document["exit_code"], 0);
  const nlohmann::json& slots = document["sets"][0]["slots"];
  ASSERT_EQ(slots.size(), 4u);
  std::set<std::string> macs;
  std::set<std::string> serials;
  for (int adapter = 0; adapter < 4; ++adapter) {
    const nlohmann::json& slot = slots[adapter];
    EXPECT_EQ(slot["adapter"], adapter);
    EXPECT_EQ(slot["stage"], "done");
    EXPECT_EQ(slot["chip"], "qnt5230");
    // Each run's own document, as the utility wrote it for its adapter.
    EXPECT_EQ(slot["run"]["adapter"], adapter);
    EXPECT_EQ(slot["run"]["eeprom"]["verified"], true);
    EXPECT_EQ(slot["mac_address"], slot["run"]["eeprom"]["mac_address"]);
    EXPECT_EQ(BoardMac(adapter), slot["mac_address"].get<std::string>());
    macs.insert(slot["mac_address"].get<std::string>());
    serials.insert(slot["serial_number"].get<std::string>());
    EXPECT_NE(ReadFileText(slot["log"].get<std::string>().insert(0, work_.path().string() + "/"))
                  .find("Updated ini file\n"),
              std::string::npos);
  }
  EXPECT_EQ(macs, (std::set<std::string>{"00:11:22:33:44:55", "00:11:22:33:44:56",
                                         "00:11:22:33:44:57", "00:11:22:33:44:58"}));
  EXPECT_EQ(serials.size(), 4u);
  // The INI file stepped four times, the record holding four programmed boards.
  EXPECT_NE(Ini().find("CurrentMacAddress = 00:11:22:33:44:59"), std::string::npos);
  EXPECT_NE(Ini().find("CurrentSerialNumber = 000000000005"), std::string::npos);
  EXPECT_EQ(Count(ReadFileText(work_.File("rec.csv")), ",0,yes,"), 4u);
  // With -a the text goes to standard error, a line per change of stage.
  EXPECT_EQ(Count(text, ": checking, "), 4u) << text;
  EXPECT_EQ(Count(text, "qnt5230): done, MAC address 00:11:22:33:44:5"), 4u) << text;
  EXPECT_NE(text.find("All 4 runs ended with 0\n"), std::string::npos);
}

TEST_F(Rig, AFailingAndAKilledSlotLeaveTheOthersProgrammedAndTheirIdentitiesUsedUp) {
  Emu("fault --adapter 1 --command E2P_WRITE_BLOCK --status 1");  // its write fails
  Emu("fault --adapter 2 --command E2P_WRITE_BLOCK --kill");      // the run dies at its write
  const ProgramRun run = RunRig("-X 0-3,6 -- -w -i board.ini -s -t rec.csv");
  const std::string& text = run.output;
  // The first slot in the order given that did not end with 0.
  EXPECT_EQ(run.exit_code, 9) << text;
  EXPECT_NE(text.find("Adapter 6: the driver does not serve it; no run is started for it\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("      1 failed      9  EEPROM programming failed"), std::string::npos);
  EXPECT_NE(text.find("      2 killed    143  killed by signal 15"), std::string::npos);
  EXPECT_NE(text.find("      6 refused     1  the driver does not serve this adapter"),
            std::string::npos);
  EXPECT_EQ(Count(text, "    0  success "), 2u) << text;
  EXPECT_NE(text.find("3 of 5 runs did not end with 0: exit code 9, that of adapter 1\n"),
            std::string::npos);
  // A file is no console: nothing is redrawn.
  EXPECT_EQ(text.find('\x1b'), std::string::npos);

  // Each started run set an identity aside, and no two slots share one: the killed run's
  // reservation is its last word, and its MAC address is on no other line.
  const std::string record = ReadFileText(work_.File("rec.csv"));
  EXPECT_EQ(Count(record, ",reserved,no,"), 4u) << record;
  const size_t killed = record.find(",2,qnt5230,eeprom,");
  ASSERT_NE(killed, std::string::npos) << record;
  const std::string killed_mac = record.substr(killed + 18, 17);
  EXPECT_EQ(Count(record, killed_mac), 1u) << record;
  EXPECT_EQ(Count(record, ",0,yes,"), 2u);
  EXPECT_NE(Ini().find("CurrentMacAddress = 00:11:22:33:44:59"), std::string::npos);
  ASSERT_EQ(SetFolders().size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(SetFolders()[0] + "/adapter-2.log"));
  EXPECT_FALSE(std::filesystem::exists(SetFolders()[0] + "/adapter-6.log"));
}

TEST_F(Rig, RepeatsTheSetAtEnterAndStopsAtQ) {
  const ProgramRun run = RunRig("--repeat -X 0-1 -- -w -i board.ini -s", "\nq\n");
  const std::string& text = run.output;
  EXPECT_EQ(run.exit_code, 0) << text;
  EXPECT_EQ(Count(text, "Put the next boards in and press Enter, or q and Enter to stop: "), 2u);
  EXPECT_NE(text.find("Set 2: logs in rig-"), std::string::npos);
  EXPECT_EQ(text.find("Set 3"), std::string::npos);
  EXPECT_NE(text.find("2 sets: All 4 runs ended with 0\n"), std::string::npos) << text;
  EXPECT_EQ(SetFolders().size(), 2u);
  EXPECT_NE(Ini().find("CurrentMacAddress = 00:11:22:33:44:59"), std::string::npos);
  // The end of the input stops as q does.
  EXPECT_EQ(RunRig("--repeat -X 0 -- -w -i board.ini -s").exit_code, 0);
  EXPECT_EQ(SetFolders().size(), 3u);
}

TEST_F(Rig, OnAConsoleRedrawsTheTableInPlace) {
  if (RunShell("command -v script >/dev/null").exit_code != 0) GTEST_SKIP() << "no script(1)";
  // script(1) gives the rig a terminal as its standard output.
  const ProgramRun run = RunShell(Environment() + "script -qec " +
                                  Quote(Quote(QNT_RIG_TOOL_PATH) + " -X 0-1 -- -w -i board.ini") +
                                  " /dev/null </dev/null");
  EXPECT_EQ(run.exit_code, 0) << run.output;
  // The table is written, then the cursor goes back up over its three lines for each redraw.
  EXPECT_NE(run.output.find("Adapter Chip     Stage        MAC address"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("\x1b[3A\r"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Adapter 0 (qnt5230): checking"), std::string::npos);
  EXPECT_NE(run.output.find("All 2 runs ended with 0"), std::string::npos);
}

}  // namespace
