// user_files_flow_test.cpp - files the user names that are no regular files (a pipe, a device, a
// directory): each is refused with its usual message before the board is touched, and none
// holds the run.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "format/board_record.h"
#include "nvm/eeprom_flow_support.h"
#include "support/file_faults.h"

namespace {

class UserFiles : public EepromFlow {
 protected:
  void SetUp() override {
    EepromFlow::SetUp();
    WriteFileText(ini_, ExampleIniText());
    ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
  }

  const std::string ini_ = File("board.ini");
  const std::string fifo_ = File("pipe");
};

TEST_F(UserFiles, NoneIsReadFromOrWrittenToBeforeTheBoardIsTouched) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string output;
  };
  const Case cases[] = {
      {{"-w", "-i", fifo_},
       3,
       "The file " + fifo_ + " is not found\nERROR: Parameter Error (use -h for help)\n"},
      {{"-w", "-i", fifo_, "-s"},
       3,
       "The file " + fifo_ + " is not found\nERROR: Parameter Error (use -h for help)\n"},
      {{"-w", "-b", fifo_}, 9, "ERROR: No file " + fifo_ + " was found\n"},
      {{"-w", "-i", ini_, "-s", "-t", fifo_},
       10,
       "ERROR: Couldn't write the record file " + fifo_ + "\n"},
      {{"-w", "-i", ini_, "-s", "-t", "/dev/zero"},
       10,
       "ERROR: Couldn't write the record file /dev/zero\n"},
      {{"-w", "-i", ini_, "-s", "-t", "/dev/null"},
       10,
       "ERROR: Couldn't write the record file /dev/null\n"},
      {{"-w", "-i", ini_, "-s", "-t", work_.path().string()},
       10,
       "ERROR: Couldn't write the record file " + work_.path().string() + "\n"},
      {{"-r", "-b", "/dev/null"}, 5, "ERROR: ERROR::Failed to create/open /dev/null\n"},
      {{"-r", "-b", fifo_}, 5, "ERROR: ERROR::Failed to create/open " + fifo_ + "\n"},
      {{"-f", fifo_}, 6, "ERROR: No file " + fifo_ + " is found\n"},
      // The line's INI file holds the next board's identity: no save goes over it.
      {{"-r", "-b", ini_},
       9,
       "ERROR: The file " + ini_ +
           " is an INI description of a board (it has a [MacAddress] section); the EEPROM is not "
           "saved over it: name another file with -b\n"},
  };
  const std::string ini_text = ReadFileText(ini_);
  for (const Case& c : cases) {
    bench_.ClearLog();
    EXPECT_EQ(Run(c.arguments), c.exit_code) << c.arguments.back();
    EXPECT_EQ(Output(), c.output);
    for (const uint32_t command : {kCmdE2pWriteBlock, kCmdE2pReadBlock}) {
      EXPECT_TRUE(bench_.LogOf(command).empty()) << c.arguments.back();
    }
    EXPECT_EQ(ReadFileText(ini_), ini_text);
  }
}

// Beside the message each refusal always had, standard error says why, in the system's words.
TEST_F(UserFiles, EachRefusedFileSaysWhy) {
  const std::string folder = work_.path().string();
  const std::string nowhere = File("missing/x.bin");
  const struct {
    std::vector<std::string> arguments;
    int exit_code;
    std::string reason;
  } cases[] = {
      {{"-r", "-b", nowhere}, 5, nowhere + ": No such file or directory\n"},
      {{"-r", "-b", fifo_}, 5, fifo_ + ": not a regular file\n"},
      {{"-w", "-b", folder}, 9, folder + ": is a directory\n"},
      {{"-w", "-i", folder}, 3, folder + ": is a directory\n"},
      {{"-w", "-i", nowhere}, 3, nowhere + ": No such file or directory\n"},
  };
  for (const auto& c : cases) {
    bench_.console().TakeDiagnostics();
    EXPECT_EQ(Run(c.arguments), c.exit_code) << c.arguments.back();
    EXPECT_EQ(bench_.console().TakeDiagnostics(), c.reason);
  }
}

TEST_F(UserFiles, AnIniFileTheRunMayNotWriteIsRefusedBeforeTheBoardIsTouched) {
  ASSERT_EQ(chmod(ini_.c_str(), 0444), 0);
  int exit_code = 0;
  {
    const OrdinaryFileUser user;
    exit_code = Run({"-w", "-i", ini_, "-s"});
  }
  EXPECT_EQ(exit_code, 10);
  EXPECT_EQ(Output(), "ERROR: The file " + ini_ +
                          " cannot be written, so the next board's values could not be saved in "
                          "it: make it writable; nothing was programmed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
}

// Stepping replaces the file, which would leave a second name holding the values already handed
// out: a file with two names is refused by either name, before the board is touched.
TEST_F(UserFiles, AnIniFileWithTwoNamesIsNotSteppedByEither) {
  const std::string other = File("b.ini");
  ASSERT_EQ(link(ini_.c_str(), other.c_str()), 0);
  const std::string text = ReadFileText(ini_);
  for (const std::string& name : {ini_, other}) {
    bench_.ClearLog();
    EXPECT_EQ(Run({"-w", "-i", name, "-s"}), 10) << name;
    EXPECT_EQ(Output(), "ERROR: The file " + name +
                            " has other names (hard links), which stepping would leave holding "
                            "the values handed out already: keep one name and remove the "
                            "others; nothing was programmed\n");
    EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty()) << name;
  }
  EXPECT_EQ(ReadFileText(ini_), text);
  EXPECT_EQ(ReadFileText(other), text);
  // Without -s the file is only read.
  EXPECT_EQ(Run({"-w", "-i", other}), 0);
}

// A run that died between writing the stepped file beside the INI file and putting it in place
// left that file behind. The next run that steps the INI file removes it, holding the file's lock,
// under which alone such files are written; a run that does not step holds no lock and leaves
// them, and the files of other names stay.
TEST_F(UserFiles, TheNextSteppingRunRemovesTheFilesALostStepLeftBeside) {
  const std::string lost[] = {File(".board.ini.a1B2c3"), File(".board.ini.Z9y8X7")};
  const std::string kept[] = {File(".other.ini.a1B2c3"), File(".board.ini.old"),
                              File(".board.ini.backup1"), File("board.ini.a1B2c3")};
  for (const std::string& name : lost) WriteFileText(name, "CurrentMacAddress = 00:11:22:33:44:56");
  for (const std::string& name : kept) WriteFileText(name, "kept");
  ASSERT_EQ(Run({"-w", "-i", ini_}), 0);
  for (const std::string& name : lost) EXPECT_TRUE(std::filesystem::exists(name)) << name;
  ASSERT_EQ(Run({"-w", "-i", ini_, "-s"}), 0);
  for (const std::string& name : lost) EXPECT_FALSE(std::filesystem::exists(name)) << name;
  for (const std::string& name : kept) EXPECT_EQ(ReadFileText(name), "kept") << name;
}

TEST_F(UserFiles, ARecordWhoseLastLineHasNoLineEndKeepsItsLinesApart) {
  const std::string record = File("record.csv");
  WriteFileText(record, std::string(kBoardRecordHeader).substr(0, 40));  // cut by a crash
  ASSERT_EQ(Run({"-w", "-i", ini_, "-s", "-t", record}), 0);
  WriteFileText(ini_, ExampleIniText());  // set back: the board's MAC address is found
  ASSERT_EQ(Run({"-w", "-i", ini_, "-t", record}), 10);
  const std::string text = ReadFileText(record);
  EXPECT_EQ(text.substr(0, 41), std::string(kBoardRecordHeader).substr(0, 40) + "\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);  // two lines, then the refusal
}

}  // namespace
