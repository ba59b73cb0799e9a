// user_file_replace_test.cpp - replacing a user's file through every fault a disk can show, on a
// file system in memory: a file is never lost, cut or mixed, and nothing is left open.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/user_file_logic.h"
#include "support/memory_file_system.h"

namespace {

const std::string kOld = "mac = 55, serial = 01\n";
const std::string kNew = "mac = 56, serial = 02, the next board's values\n";

ReplaceResult Replace(MemoryFileSystem& files, const std::string& name, const std::string& text) {
  return ReplaceUserFileOn(files, name.c_str(), text.data(), text.size());
}

size_t Temporaries(const MemoryFileSystem& files) {
  const auto names = files.Names();
  return static_cast<size_t>(std::count_if(
      names.begin(), names.end(), [](const std::string& n) { return n.rfind("/d/.", 0) == 0; }));
}

void ExpectClean(const MemoryFileSystem& files) {
  EXPECT_TRUE(files.misuses().empty()) << files.misuses().front();
  EXPECT_TRUE(files.LeftOpen().empty()) << files.LeftOpen().front();
}

struct Board {
  Board() {
    files.AddDirectory("/d");
    files.AddFile("/d/board.ini", kOld, 0640);
  }
  MemoryFileSystem files;
};

TEST(ReplaceUserFileOn, ShortWritesStillWriteEverything) {
  Board board;
  board.files.SetShortWrites(true);
  ASSERT_EQ(Replace(board.files, "/d/board.ini", kNew), ReplaceResult::kReplaced);
  EXPECT_EQ(board.files.Contents("/d/board.ini"), kNew);
  EXPECT_EQ(board.files.ModeOf("/d/board.ini"), 0640u);
  EXPECT_EQ(Temporaries(board.files), 0u);
  ExpectClean(board.files);
}

TEST(ReplaceUserFileOn, AFullDiskAtAnyWriteLeavesTheOldFileAndNoTemporaryFile) {
  for (size_t space = 0; space < kNew.size(); ++space) {
    Board board;
    board.files.SetSpace(space);
    EXPECT_EQ(Replace(board.files, "/d/board.ini", kNew), ReplaceResult::kNotWritten) << space;
    EXPECT_EQ(board.files.Contents("/d/board.ini"), kOld);
    EXPECT_EQ(Temporaries(board.files), 0u);
    ExpectClean(board.files);
  }
}

TEST(ReplaceUserFileOn, AReadOnlyFileIsReplacedAndStaysReadOnly) {
  Board board;
  board.files.AddFile("/d/board.ini", kOld, 0444);
  ASSERT_EQ(Replace(board.files, "/d/board.ini", kNew), ReplaceResult::kReplaced);
  EXPECT_EQ(board.files.Contents("/d/board.ini"), kNew);
  EXPECT_EQ(board.files.ModeOf("/d/board.ini"), 0444u);
  ExpectClean(board.files);
}

TEST(ReplaceUserFileOn, ANewFileGetsTheModeOfAnyNewFile) {
  Board board;
  board.files.SetNewFileMode(0640);
  ASSERT_EQ(Replace(board.files, "/d/new.bin", kNew), ReplaceResult::kReplaced);
  EXPECT_EQ(board.files.ModeOf("/d/new.bin"), 0640u);
  ExpectClean(board.files);
}

TEST(ReplaceUserFileOn, ALinkStaysALinkAndItsTargetGetsTheContents) {
  Board board;
  board.files.AddLink("/link.ini", "d/board.ini");
  board.files.AddLink("/circle1", "circle2");
  board.files.AddLink("/circle2", "circle1");
  ASSERT_EQ(Replace(board.files, "/link.ini", kNew), ReplaceResult::kReplaced);
  EXPECT_EQ(board.files.Contents("/d/board.ini"), kNew);
  EXPECT_EQ(board.files.Contents("/link.ini"), "d/board.ini");
  EXPECT_EQ(Replace(board.files, "/circle1", kNew), ReplaceResult::kNotCreated);
  EXPECT_FALSE(CanReplaceUserFileOn(board.files, "/circle1"));
  ExpectClean(board.files);
}

TEST(ReplaceUserFileOn, NoDirectoryOrPipeIsReplaced) {
  Board board;
  board.files.AddPipe("/d/pipe");
  EXPECT_EQ(Replace(board.files, "/d", kNew), ReplaceResult::kNotCreated);
  EXPECT_EQ(Replace(board.files, "/d/pipe", kNew), ReplaceResult::kNotCreated);
  EXPECT_FALSE(CanReplaceUserFileOn(board.files, "/d/pipe"));
  EXPECT_TRUE(CanReplaceUserFileOn(board.files, "/d/none"));
  ExpectClean(board.files);
}

TEST(ReplaceUserFileOn, ADirectoryThatTakesNoNewFileTakesOnlyContentsOfTheOldLength) {
  MemoryFileSystem files;
  files.AddDirectory("/d", false);
  files.AddFile("/d/board.ini", "mac = 55, serial = 01", 0666);
  // The bytes that differ go over the old ones in one write: never a cut file.
  EXPECT_EQ(Replace(files, "/d/board.ini", "mac = 56, serial = 02"), ReplaceResult::kReplaced);
  EXPECT_EQ(files.Contents("/d/board.ini"), "mac = 56, serial = 02");
  // Another length would need the file cut first.
  EXPECT_EQ(Replace(files, "/d/board.ini", "mac = 57, serial = 003"), ReplaceResult::kNotCreated);
  EXPECT_EQ(files.Contents("/d/board.ini"), "mac = 56, serial = 02");
  // A file that is read-only too cannot be written at all.
  files.AddFile("/d/board.ini", "mac = 56, serial = 02", 0444);
  EXPECT_EQ(Replace(files, "/d/board.ini", "mac = 57, serial = 03"), ReplaceResult::kNotCreated);
  EXPECT_EQ(files.Contents("/d/board.ini"), "mac = 56, serial = 02");
  ExpectClean(files);
}

TEST(ReplaceUserFileOn, ARewriteInPlaceOnAFullDiskIsReported) {
  MemoryFileSystem files;
  files.AddDirectory("/d", false);
  files.AddFile("/d/board.ini", "abc", 0666);
  files.SetShortWrites(true);  // the one write that changes the bytes must be whole
  EXPECT_EQ(Replace(files, "/d/board.ini", "xyz"), ReplaceResult::kNotWritten);
  ExpectClean(files);
}

TEST(ReplaceUserFileOn, AReplaceThatLostTheOldFileKeepsTheNewContents) {
  Board board;
  board.files.LoseTargetInNextReplace();
  EXPECT_EQ(Replace(board.files, "/d/board.ini", kNew), ReplaceResult::kNotWritten);
  ASSERT_EQ(Temporaries(board.files), 1u);  // the only copy left
  for (const std::string& name : board.files.Names()) {
    if (name.rfind("/d/.", 0) == 0) {
      EXPECT_EQ(board.files.Contents(name), kNew);
    }
  }
  ExpectClean(board.files);
}

// A run that dies between any two calls leaves the old or the new contents, never a mix, and at
// most one temporary file, which the next replace does not mind.
TEST(ReplaceUserFileOn, ARunDyingBetweenAnyTwoCallsLeavesOneWholeFile) {
  Board whole;
  ASSERT_EQ(Replace(whole.files, "/d/board.ini", kNew), ReplaceResult::kReplaced);
  const int calls = whole.files.calls();
  for (int survived = 0; survived <= calls; ++survived) {
    Board board;
    board.files.SetShortWrites(true);
    board.files.CrashAfter(survived);
    Replace(board.files, "/d/board.ini", kNew);
    const std::string left = board.files.Contents("/d/board.ini");
    EXPECT_TRUE(left == kOld || left == kNew) << survived << ": " << left;
    EXPECT_LE(Temporaries(board.files), 1u) << survived;

    board.files.Restart();
    ASSERT_EQ(Replace(board.files, "/d/board.ini", "again"), ReplaceResult::kReplaced);
    EXPECT_EQ(board.files.Contents("/d/board.ini"), "again");
    EXPECT_LE(Temporaries(board.files), 1u) << survived;
    ExpectClean(board.files);
  }
}

}  // namespace
