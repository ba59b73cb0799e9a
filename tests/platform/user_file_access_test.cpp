// user_file_access_test.cpp - reading a user's file, the lock on it, telling its names apart and
// appending to a record, on a file system in memory.
#include <gtest/gtest.h>

#include <string>

#include "platform/user_file_logic.h"
#include "support/memory_file_system.h"

namespace {

void ExpectClean(const MemoryFileSystem& files) {
  EXPECT_TRUE(files.misuses().empty()) << files.misuses().front();
  EXPECT_TRUE(files.LeftOpen().empty()) << files.LeftOpen().front();
}

TEST(ReadUserFileOn, OnlyARegularFileIsRead) {
  MemoryFileSystem files;
  files.AddDirectory("/d");
  files.AddPipe("/d/pipe");
  files.AddFile("/d/short", "abc");
  files.AddLink("/d/link", "short");
  char buffer[8];
  size_t count = 7;
  EXPECT_FALSE(ReadUserFileOn(files, "/d", buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(ReadUserFileOn(files, "/d/pipe", buffer, sizeof buffer, &count));
  EXPECT_FALSE(ReadUserFileOn(files, "/d/none", buffer, sizeof buffer, &count));
  ASSERT_TRUE(ReadUserFileOn(files, "/d/link", buffer, sizeof buffer, &count));
  EXPECT_EQ(std::string(buffer, count), "abc");
  std::string text = "stale";
  EXPECT_FALSE(ReadWholeUserFileOn(files, "/d/pipe", 100, &text));
  EXPECT_EQ(text, "");
  ExpectClean(files);
}

TEST(ReadUserFileOn, TheWholeFileOnlyUpToItsLimit) {
  MemoryFileSystem files;
  files.AddFile("/big", std::string(5000, 'x'));
  std::string text;
  ASSERT_TRUE(ReadWholeUserFileOn(files, "/big", 5000, &text));
  EXPECT_EQ(text.size(), 5000u);
  EXPECT_FALSE(ReadWholeUserFileOn(files, "/big", 4999, &text));
  ExpectClean(files);
}

TEST(LockUserFileOn, OnlyARegularFileThatMayBeWrittenIsLocked) {
  MemoryFileSystem files;
  files.AddDirectory("/d");
  files.AddFile("/d/read-only", "x", 0444);
  files.AddFile("/d/board.ini", "x");
  files.AddPipe("/d/pipe");
  FileSystem::Handle first = FileSystem::kNoHandle;
  FileSystem::Handle second = FileSystem::kNoHandle;
  using Result = UserFileLock::Result;
  EXPECT_EQ(LockUserFileOn(files, "/d/read-only", false, &first), Result::kNotWritable);
  EXPECT_EQ(LockUserFileOn(files, "/d", false, &first), Result::kFailed);
  EXPECT_EQ(LockUserFileOn(files, "/d/pipe", false, &first), Result::kFailed);
  EXPECT_EQ(LockUserFileOn(files, "/d/none", false, &first), Result::kFailed);
  ASSERT_EQ(LockUserFileOn(files, "/d/board.ini", false, &first), Result::kLocked);
  EXPECT_EQ(LockUserFileOn(files, "/d/board.ini", false, &second), Result::kBusy);
  files.Close(first);
  ASSERT_EQ(LockUserFileOn(files, "/d/board.ini", false, &second), Result::kLocked);
  files.Close(second);
  ExpectClean(files);
}

TEST(LockUserFileOn, AWaiterGetsTheFileThatReplacedTheOneItWaitedFor) {
  // The holder writes the next values back by replacing the file; a waiter that woke holding the
  // old file would let a third run lock the new one beside it.
  MemoryFileSystem files;
  files.AddFile("/board.ini", "old");
  files.BeforeNextLock([&] {
    const std::string text = "new";
    ASSERT_EQ(ReplaceUserFileOn(files, "/board.ini", text.data(), text.size()),
              ReplaceResult::kReplaced);
  });
  FileSystem::Handle held = FileSystem::kNoHandle;
  ASSERT_EQ(LockUserFileOn(files, "/board.ini", true, &held), UserFileLock::Result::kLocked);
  FileSystem::Handle third = FileSystem::kNoHandle;
  EXPECT_EQ(LockUserFileOn(files, "/board.ini", false, &third), UserFileLock::Result::kBusy);
  files.Close(held);
  ExpectClean(files);
}

// A run that died between writing the new file and putting it in place left it beside the file.
// Its lock's holder clears such files away, only those of the file it holds, and only while the
// name still leads to that file: once another run replaced it, the holder knows nothing of what
// is being written beside the new one.
TEST(RemoveLostReplacementsOn, OnlyTheHolderOfTheFileThatHasTheName) {
  MemoryFileSystem files;
  files.AddDirectory("/d");
  files.AddFile("/d/board.ini", "old");
  files.AddFile("/d/.board.ini.7", "lost");  // as the memory's CreateBeside names them
  files.AddFile("/d/.other.ini.8", "other's");
  files.AddFile("/d/.board.ini.old", "the user's");

  FileSystem::Handle held = FileSystem::kNoHandle;
  ASSERT_EQ(LockUserFileOn(files, "/d/board.ini", false, &held), UserFileLock::Result::kLocked);
  files.AddLink("/d/moved.ini", "board.ini");
  const std::string text = "new";
  ASSERT_EQ(ReplaceUserFileOn(files, "/d/moved.ini", text.data(), text.size()),
            ReplaceResult::kReplaced);  // /d/board.ini is another file now
  RemoveLostReplacementsOn(files, "/d/board.ini", held);
  EXPECT_TRUE(files.Exists("/d/.board.ini.7"));
  files.Close(held);

  ASSERT_EQ(LockUserFileOn(files, "/d/moved.ini", false, &held), UserFileLock::Result::kLocked);
  RemoveLostReplacementsOn(files, "/d/moved.ini", held);
  files.Close(held);
  EXPECT_FALSE(files.Exists("/d/.board.ini.7"));
  EXPECT_TRUE(files.Exists("/d/.other.ini.8"));
  EXPECT_TRUE(files.Exists("/d/.board.ini.old"));
  ExpectClean(files);
}

TEST(SameUserFileOn, OneFileWhateverItsName) {
  MemoryFileSystem files;
  files.AddFile("/board.ini", "x");
  files.AddFile("/other.ini", "x");
  files.AddLink("/link.ini", "board.ini");
  EXPECT_TRUE(SameUserFileOn(files, "/board.ini", "/link.ini"));
  EXPECT_FALSE(SameUserFileOn(files, "/board.ini", "/other.ini"));
  EXPECT_FALSE(SameUserFileOn(files, "/board.ini", "/missing.ini"));
}

bool Append(MemoryFileSystem& files, const std::string& line) {
  return AppendLineFlushedOn(files, "/record.csv", "head\n", line);
}

TEST(AppendLineFlushedOn, TheHeaderOpensANewRecordAndACutLineIsEnded) {
  MemoryFileSystem files;
  ASSERT_TRUE(Append(files, "one\n"));
  EXPECT_EQ(files.Contents("/record.csv"), "head\none\n");
  files.AddFile("/record.csv", "head\none\ncut");
  ASSERT_TRUE(Append(files, "two\n"));
  EXPECT_EQ(files.Contents("/record.csv"), "head\none\ncut\ntwo\n");
  ExpectClean(files);
}

TEST(AppendLineFlushedOn, AWriteThatIsNotWholeIsAFailure) {
  MemoryFileSystem files;
  files.AddFile("/record.csv", "head\n");
  files.SetShortWrites(true);
  EXPECT_FALSE(Append(files, "one\n"));
  files.SetShortWrites(false);
  files.SetSpace(0);
  EXPECT_FALSE(Append(files, "one\n"));
  ExpectClean(files);
}

TEST(CanAppendToFileOn, OnlyARegularFileInADirectoryThatTakesIt) {
  MemoryFileSystem files;
  files.AddDirectory("/locked", false);
  files.AddPipe("/pipe");
  EXPECT_TRUE(CanAppendToFileOn(files, "/record.csv"));
  EXPECT_TRUE(files.Exists("/record.csv"));
  EXPECT_FALSE(CanAppendToFileOn(files, "/locked/record.csv"));
  EXPECT_FALSE(CanAppendToFileOn(files, "/pipe"));
  EXPECT_FALSE(CanAppendToFileOn(files, "/locked"));
  ExpectClean(files);
}

TEST(MemoryFileSystem, ReportsWhatARealOneWouldRefuse) {
  MemoryFileSystem files;
  files.AddDirectory("/d");
  files.AddFile("/f", "x");
  FileSystem::Handle file = FileSystem::kNoHandle;
  ASSERT_EQ(files.Open("/f", FileAccess::kRead, &file), FileError::kNone);
  size_t written = 0;
  EXPECT_NE(files.Write(file, "y", 1, &written), FileError::kNone);
  EXPECT_EQ(files.LeftOpen().size(), 1u);
  files.Close(file);
  EXPECT_NE(files.Write(file, "y", 1, &written), FileError::kNone);
  EXPECT_EQ(files.misuses().size(), 2u);
  EXPECT_NE(files.ReplaceWith("/f", "/d", true), FileError::kNone);
  EXPECT_EQ(files.Contents("/f"), "x");
}

}  // namespace
