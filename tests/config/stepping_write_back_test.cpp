// stepping_write_back_test.cpp - saving the stepped identity: the INI file rewritten in the two
// values only, as a whole file, and given back only where it still holds what was written.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "config/ini_loader.h"
#include "config/stepping/ini_write_back.h"
#include "support/capture_console.h"
#include "support/file_faults.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

std::string BoardIni(const char* mac, const char* serial, const char* line_end) {
  const std::string e = line_end;
  return "# production file" + e + "[SerialNumber]" + e + "CurrentSerialNumber = " + serial +
         "   # next board" + e + "MaximumSerialNumber = FFFFFF" + e + "SerialNumberIncrement = 1" +
         e + "[MacAddress]" + e + "CurrentMacAddress=" + mac + e +
         "MaximumMacAddress = 00:11:22:33:FF:FF" + e + "MacAddressIncrement = 1" + e;
}

struct LoadedIni {
  TempDir dir;
  std::string path = dir.File("board.ini");
  DeviceSettings settings;
};

void Load(LoadedIni& ini, const std::string& text) {
  WriteFileText(ini.path, text);
  IniState state;
  CaptureConsole console;
  ASSERT_EQ(LoadIniFile(ini.path.c_str(), ini.settings, state, console), 0) << console.output();
}

int Update(LoadedIni& ini, std::string* output = nullptr) {
  CaptureConsole console;
  const int result = UpdateIniFile(ini.path.c_str(), ini.settings, console);
  if (output != nullptr) *output = console.TakeOutput();
  return result;
}

// The MAC address first in the file, recorded with two characters more than it has now, and the
// next values set; returns the file's text.
std::string LoadMacOfAnotherLength(LoadedIni& ini) {
  const std::string text =
      "[MacAddress]\nCurrentMacAddress = 00:11:22:33:44:55\n"
      "[SerialNumber]\nCurrentSerialNumber = 0001\n";
  WriteFileText(ini.path, text);
  ini.settings.CurrentMacAddressPresent = 1;
  ini.settings.CurrentMacAddressOffset = 33;
  ini.settings.CurrentMacAddressLength = 15;  // "00:11:22:33:44:"
  ini.settings.CurrentSerialNumberOffset = static_cast<int32_t>(text.find("0001"));
  ini.settings.CurrentSerialNumberLength = 4;
  ini.settings.CurrentMacAddress = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  ini.settings.CurrentSerialNumber = "0002";
  return text;
}

TEST(UpdateIniFile, RewritesBothValuesInPlaceKeepingEveryOtherByte) {
  for (const char* line_end : {"\n", "\r\n"}) {
    LoadedIni ini;
    Load(ini, BoardIni("00:11:22:33:44:55", "0001", line_end));
    ini.settings.CurrentMacAddress[5] = 0x56;
    ini.settings.CurrentSerialNumber = "0002";
    ASSERT_EQ(Update(ini), 0);
    EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:56", "0002", line_end));
  }
}

TEST(UpdateIniFile, HyphenatedMacIsRewrittenWithColonsInTheSameCharacters) {
  LoadedIni ini;
  Load(ini, BoardIni("00-11-22-33-44-55", "0001", "\n"));
  ini.settings.CurrentMacAddress[5] = 0x56;
  ASSERT_EQ(Update(ini), 0);
  EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:56", "0001", "\n"));
}

TEST(UpdateIniFile, SerialOfAnotherLengthIsSplicedThroughAReplacedFile) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  ini.settings.CurrentSerialNumber = "0000000002";
  ASSERT_EQ(Update(ini), 0);
  EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:55", "0000000002", "\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ini.dir.path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left beside it
  EXPECT_EQ(ini.settings.CurrentSerialNumberLength, 10);

  // The recorded positions follow, so the next board's values land in the right place.
  ini.settings.CurrentSerialNumber = "0000000003";
  ini.settings.CurrentMacAddress[5] = 0x57;
  ASSERT_EQ(Update(ini), 0);
  EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:57", "0000000003", "\n"));
}

TEST(UpdateIniFile, MacOfAnotherRecordedLengthMovesTheValueAfterIt) {
  LoadedIni ini;
  const std::string text = LoadMacOfAnotherLength(ini);
  ASSERT_EQ(Update(ini), 0);
  EXPECT_EQ(ReadFileText(ini.path),
            "[MacAddress]\nCurrentMacAddress = AA:BB:CC:DD:EE:FF55\n"
            "[SerialNumber]\nCurrentSerialNumber = 0002\n");
  EXPECT_EQ(ini.settings.CurrentMacAddressLength, 17);
  EXPECT_EQ(ini.settings.CurrentSerialNumberOffset, static_cast<int32_t>(text.find("0001")) + 2);
}

TEST(UpdateIniFile, FileWithoutAMacAddressGetsOnlyTheSerialNumber) {
  // A -b image's identity may be a serial number alone: no address is written into the file.
  LoadedIni ini;
  const std::string text =
      "[SerialNumber]\nCurrentSerialNumber = 0001\nMaximumSerialNumber = FFFF\n"
      "SerialNumberIncrement = 1\n";
  Load(ini, text);
  ini.settings.CurrentSerialNumber = "0002";
  ASSERT_EQ(Update(ini), 0);
  std::string expected = text;
  expected.replace(expected.find("0001"), 4, "0002");
  EXPECT_EQ(ReadFileText(ini.path), expected);
}

TEST(UpdateIniFile, MissingFileIsReported) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  std::filesystem::remove(ini.path);
  std::string output;
  EXPECT_EQ(Update(ini, &output), kUpdateFileFailed);
  EXPECT_EQ(output, "ERROR: The file " + ini.path + " is not found\n");
}

TEST(UpdateIniFile, FileShorterThanTheRecordedPositionsIsLeftAlone) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  WriteFileText(ini.path, "[MacAddress]\n");
  std::string output;
  EXPECT_EQ(Update(ini, &output), kUpdateFileFailed);
  EXPECT_EQ(output, "ERROR: The file " + ini.path + " no longer holds the values read from it\n");
  EXPECT_EQ(ReadFileText(ini.path), "[MacAddress]\n");
}

TEST(UpdateIniFile, FailedSpliceLeavesTheOldFileWhole) {
  LoadedIni ini;
  const std::string text = BoardIni("00:11:22:33:44:55", "0001", "\n");
  Load(ini, text);
  ini.settings.CurrentSerialNumber = "00002";
  std::string output;
  {
    const FileSizeLimit limit(16);  // the new contents cannot be written out
    EXPECT_EQ(Update(ini, &output), kUpdateFileFailed);
  }
  EXPECT_EQ(output, "ERROR: The file " + ini.path + " is not found\n");
  EXPECT_EQ(ReadFileText(ini.path), text);
  // Nothing but the file itself is left in its directory.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ini.dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

// The give-back of a run that sent nothing: it undoes exactly its own step, and only while the
// file still holds what that step wrote.
TEST(RestoreIniFile, UndoesAStepThatMovedTheValueAfterIt) {
  LoadedIni ini;
  const std::string text = LoadMacOfAnotherLength(ini);
  CaptureConsole console;
  std::vector<IniValueEdit> applied;
  ASSERT_EQ(UpdateIniFile(ini.path.c_str(), ini.settings, console, &applied), 0);
  ASSERT_NE(ReadFileText(ini.path), text);
  EXPECT_TRUE(RestoreIniFile(ini.path.c_str(), applied));
  EXPECT_EQ(ReadFileText(ini.path), text);
}

TEST(RestoreIniFile, LeavesAFileAnotherRunSteppedSince) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  ini.settings.CurrentMacAddress[5] = 0x56;
  ini.settings.CurrentSerialNumber = "0002";
  CaptureConsole console;
  std::vector<IniValueEdit> applied;
  ASSERT_EQ(UpdateIniFile(ini.path.c_str(), ini.settings, console, &applied), 0);
  // Another station loads the stepped file, programs 00:11:22:33:44:56 and steps it again.
  LoadedIni other;
  Load(other, ReadFileText(ini.path));
  other.settings.CurrentMacAddress[5] = 0x57;
  other.settings.CurrentSerialNumber = "0003";
  ASSERT_EQ(UpdateIniFile(ini.path.c_str(), other.settings, console), 0);
  const std::string stepped_twice = BoardIni("00:11:22:33:44:57", "0003", "\n");
  ASSERT_EQ(ReadFileText(ini.path), stepped_twice);
  // Giving 00:11:22:33:44:55 back now would hand 00:11:22:33:44:56 out a second time.
  EXPECT_FALSE(RestoreIniFile(ini.path.c_str(), applied));
  EXPECT_EQ(ReadFileText(ini.path), stepped_twice);
}

}  // namespace
