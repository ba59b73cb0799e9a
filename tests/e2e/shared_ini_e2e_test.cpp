// shared_ini_e2e_test.cpp - two stations stepping from one INI file: the second run waits while the
// first holds the file, then programs the values the first one left in it.
#include <gtest/gtest.h>

#include <string>

#include "platform/user_file.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";

std::string IniWith(const std::string& mac, const std::string& serial) {
  std::string text = ReadFileText(kExampleIni);
  text.replace(text.find("00:11:22:33:44:55"), 17, mac);
  text.replace(text.find("000000000001"), 12, serial);
  return text;
}

TEST(SharedIniFile, SecondRunWaitsForTheFirstAndTakesTheSteppedValues) {
  TempDir board;
  TempDir work;
  ASSERT_EQ(RunEmuTool(board.path().string(), "create --chip 0x52310002").exit_code, 0);
  const std::string ini = work.File("board.ini");
  WriteFileText(ini, IniWith("00:11:22:33:44:55", "000000000001"));

  // The first station: it holds the file while it programs its board, then writes the next
  // board's values back and lets go.
  UserFileLock first;
  ASSERT_EQ(first.Acquire(ini.c_str(), false), UserFileLock::Result::kLocked);
  bool waited = false;
  const ProgramRun run = RunUtilityActingOn(
      board.path().string(), "-w -i board.ini -s", work.path().string(), "waiting for it",
      [&] {
        WriteFileText(ini, IniWith("00:11:22:33:44:56", "000000000002"));
        first.Release();
      },
      &waited);
  EXPECT_TRUE(waited) << run.output;
  EXPECT_EQ(run.exit_code, 0) << run.output;
  const std::string& output = run.output;
  EXPECT_NE(output.find("The file board.ini is being stepped by another run; waiting for it\n"),
            std::string::npos);
  // The waiting run programmed the values it found after the wait and stepped them.
  const std::string eeprom = RunEmuTool(board.path().string(), "dump eeprom").output;
  ASSERT_EQ(eeprom.size(), 512u);
  EXPECT_EQ(eeprom.substr(1, 6), std::string("\x00\x11\x22\x33\x44\x56", 6));
  EXPECT_EQ(ReadFileText(ini), IniWith("00:11:22:33:44:57", "000000000003"));
}

}  // namespace
