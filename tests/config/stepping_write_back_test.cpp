// stepping_write_back_test.cpp - saving the stepped identity: the INI file rewritten in the two
// values only, the binary file rewritten whole, and nothing saved when a step fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "app/command_options.h"
#include "app/stepping_save.h"
#include "config/image/image_builder.h"
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
  // MAC first in the file this time, recorded with two characters more than it has now.
  LoadedIni ini;
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

struct SaveRun {
  int exit_code;
  std::string output;
};

SaveRun Save(CommandOptions& options, uint8_t* image) {
  CaptureConsole console;
  const int exit_code = SaveSteppedIdentity(options, image, console);
  return {exit_code, console.TakeOutput()};
}

TEST(SaveSteppedIdentity, WritesTheNextValuesIntoTheIniFile) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  CommandOptions options;
  options.IniFileName.Assign(ini.path.c_str());
  options.Settings = ini.settings;
  uint8_t image[kImageBufferSize] = {};
  const SaveRun run = Save(options, image);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "Updated ini file\n");
  EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:56", "0002", "\n"));
}

TEST(SaveSteppedIdentity, FailedStepSavesNothing) {
  LoadedIni ini;
  const std::string text = BoardIni("00:11:22:33:FF:FF", "0001", "\n");
  Load(ini, text);
  CommandOptions options;
  options.IniFileName.Assign(ini.path.c_str());
  options.Settings = ini.settings;
  uint8_t image[kImageBufferSize] = {};
  const SaveRun run = Save(options, image);
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output,
            "Reach maximum MAC address\nERROR: Couldn't increase any Mac or serial number.\n");
  EXPECT_EQ(ReadFileText(ini.path), text);
}

TEST(SaveSteppedIdentity, UnwritableIniFileIsReported) {
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  CommandOptions options;
  const std::string missing = ini.dir.File("gone.ini");
  options.IniFileName.Assign(missing.c_str());
  options.Settings = ini.settings;
  uint8_t image[kImageBufferSize] = {};
  const SaveRun run = Save(options, image);
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output,
            "ERROR: The file " + missing + " is not found\nERROR: Failed to update ini file\n");
}

// An image of |size| bytes with the board's serial, as a binary file would hold it.
void BuildBoardImage(CommandOptions& options, uint8_t* image, ImageKind kind) {
  options.IdRegister = 0x52300000;
  options.Settings.SSPollInterval = 4;
  CaptureConsole console;
  ASSERT_EQ(BuildImage(options.Settings, ImageTarget{options.ChipId(), options.EepromSize}, image,
                       kind, &options.ImageLength, console),
            0);
}

TEST(SaveSteppedIdentity, WithAnIniFileTheIniFileIsSteppedAndTheImageFileStays) {
  // The identity patched into a -b image comes from the -i file: stepping only the image would
  // give every board the INI file's values again.
  LoadedIni ini;
  Load(ini, BoardIni("00:11:22:33:44:55", "0001", "\n"));
  CommandOptions options;
  options.Settings = ini.settings;
  uint8_t image[kImageBufferSize] = {};
  BuildBoardImage(options, image, kImageKindEeprom);
  const std::string path = ini.dir.File("board.bin");
  WriteFileText(path, "image as given");
  options.BinaryFileName.Assign(path.c_str());
  options.IniFileName.Assign(ini.path.c_str());

  const SaveRun run = Save(options, image);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "Updated ini file\n");
  EXPECT_EQ(ReadFileText(ini.path), BoardIni("00:11:22:33:44:56", "0002", "\n"));
  EXPECT_EQ(ReadFileText(path), "image as given");
}

TEST(SaveSteppedIdentity, RewritesTheBinaryFileWithThePatchedImage) {
  TempDir dir;
  CommandOptions options;
  DeviceSettings& s = options.Settings;
  s.CurrentMacAddressPresent = 1;
  s.CurrentMacAddress = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  s.MaximumMacAddress = {0x00, 0x11, 0x22, 0x33, 0xFF, 0xFF};
  s.MacAddressIncrement = 2;
  s.CurrentSerialNumber = "0001";
  s.SerialNumberIncrement = 1;
  uint8_t image[kImageBufferSize] = {};
  BuildBoardImage(options, image, kImageKindEeprom);
  const std::string path = dir.File("board.bin");
  WriteFileText(path, "old contents");
  options.BinaryFileName.Assign(path.c_str());

  const SaveRun run = Save(options, image);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "");
  const std::string saved = ReadFileText(path);
  ASSERT_EQ(saved.size(), 512u);
  EXPECT_EQ(saved.substr(1, 6), std::string("\x00\x11\x22\x33\x44\x57", 6));
  EXPECT_EQ(saved.substr(0xC0, 10), std::string("\x0A\x03"
                                                "0\0"
                                                "0\0"
                                                "0\0"
                                                "2\0",
                                                10));
}

TEST(SaveSteppedIdentity, BinaryFileThatCannotBeRewrittenIsReportedAndKept) {
  TempDir dir;
  CommandOptions options;
  DeviceSettings& s = options.Settings;
  s.CurrentSerialNumber = "0001";
  s.SerialNumberIncrement = 1;
  uint8_t image[kImageBufferSize] = {};
  BuildBoardImage(options, image, kImageKindEeprom);
  const std::string path = dir.File("board.bin");
  WriteFileText(path, "old contents");
  options.BinaryFileName.Assign(path.c_str());
  SaveRun run{};
  {
    const FileSizeLimit limit(64);  // the 512 bytes cannot be written out
    run = Save(options, image);
  }
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output, "ERROR: Couldn't create file " + path + "\n");
  EXPECT_EQ(ReadFileText(path), "old contents");
}

TEST(SaveSteppedIdentity, UpperHalfOtpImageIsSavedInItsFileForm) {
  TempDir dir;
  CommandOptions options;
  options.OtpMode = 1;
  DeviceSettings& s = options.Settings;
  s.OtpSignature = 0xF7;
  s.CurrentSerialNumber = "0001";
  s.SerialNumberIncrement = 1;
  uint8_t image[kImageBufferSize] = {};
  BuildBoardImage(options, image, kImageKindOtp);
  const std::string path = dir.File("otp.bin");
  options.BinaryFileName.Assign(path.c_str());

  ASSERT_EQ(Save(options, image).exit_code, 0);
  const std::string saved = ReadFileText(path);
  ASSERT_EQ(saved.size(), 512u);
  EXPECT_EQ(static_cast<uint8_t>(saved[0]), 0xF7);
  EXPECT_EQ(saved.substr(1, 0x100), std::string(0x100, '\0'));
  EXPECT_EQ(saved.substr(0x101, 0xFF), std::string(reinterpret_cast<const char*>(image) + 1, 0xFF));
  EXPECT_EQ(saved.substr(0x101 + 0xBF, 10), std::string("\x0A\x03"
                                                        "0\0"
                                                        "0\0"
                                                        "0\0"
                                                        "2\0",
                                                        10));
}

}  // namespace
