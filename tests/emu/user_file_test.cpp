// user_file_test.cpp - the user-file service of the POSIX platform: reading, replacing without
// ever losing the file, telling names of one file apart, and the stepping lock.
#include "platform/user_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/record_append.h"
#include "support/file_faults.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

ReplaceResult Replace(const std::string& path, const std::string& text) {
  return ReplaceUserFile(path.c_str(), text.data(), text.size());
}

unsigned Mode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

// Waits until the thread |id| (once known) sleeps in the kernel, as one blocked on a lock does.
bool Sleeping(const std::atomic<pid_t>& id) {
  for (int attempt = 0; attempt < 1000000; ++attempt) {
    if (id != 0) {
      const std::string stat = ReadFileText("/proc/self/task/" + std::to_string(id) + "/stat");
      const size_t state = stat.rfind(')') + 2;
      if (state < stat.size() && stat[state] == 'S') return true;
    }
    std::this_thread::yield();
  }
  return false;
}

size_t EntryCount(const TempDir& dir) {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(ReadUserFile, DirectoryOrMissingFileIsNoFile) {
  TempDir dir;
  char buffer[8];
  size_t count = 7;
  EXPECT_FALSE(ReadUserFile(dir.path().c_str(), buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(ReadUserFile(dir.File("none").c_str(), buffer, sizeof buffer, &count));
  WriteFileText(dir.File("short"), "abc");
  ASSERT_TRUE(ReadUserFile(dir.File("short").c_str(), buffer, sizeof buffer, &count));
  EXPECT_EQ(std::string(buffer, count), "abc");
}

TEST(ReplaceUserFile, NamesBesideTheFileAreNeitherFollowedNorClobbered) {
  // A link where the old fixed temporary name was, and an unrelated file of that form.
  TempDir dir;
  const std::string path = dir.File("board.bin");
  WriteFileText(path, "old");
  WriteFileText(dir.File("victim"), "victim");
  fs::create_symlink(dir.File("victim"), path + ".new");
  WriteFileText(path + ".tmp", "unrelated");
  ASSERT_EQ(Replace(path, "new contents"), ReplaceResult::kReplaced);
  EXPECT_EQ(ReadFileText(path), "new contents");
  EXPECT_EQ(ReadFileText(dir.File("victim")), "victim");
  EXPECT_EQ(ReadFileText(path + ".tmp"), "unrelated");
  EXPECT_EQ(EntryCount(dir), 4u);
}

TEST(ReplaceUserFile, LinkStaysALinkAndItsTargetGetsTheContents) {
  TempDir dir;
  fs::create_directory(dir.File("store"));
  const std::string target = dir.File("store/board.bin");
  WriteFileText(target, "old");
  fs::create_symlink("store/board.bin", dir.File("link.bin"));
  ASSERT_EQ(Replace(dir.File("link.bin"), "new"), ReplaceResult::kReplaced);
  EXPECT_TRUE(fs::is_symlink(dir.File("link.bin")));
  EXPECT_EQ(ReadFileText(target), "new");
  EXPECT_EQ(EntryCount(dir), 2u);  // the temporary file was made beside the target
}

TEST(ReplaceUserFile, LinkToAFileNotYetMadeLeadsToIt) {
  TempDir dir;
  fs::create_directory(dir.File("store"));
  fs::create_symlink("store/board.bin", dir.File("link.bin"));
  fs::create_symlink("link.bin", dir.File("link2.bin"));
  ASSERT_EQ(Replace(dir.File("link2.bin"), "new"), ReplaceResult::kReplaced);
  EXPECT_TRUE(fs::is_symlink(dir.File("link.bin")));
  EXPECT_TRUE(fs::is_symlink(dir.File("link2.bin")));
  EXPECT_EQ(ReadFileText(dir.File("store/board.bin")), "new");

  fs::create_symlink("circle2.bin", dir.File("circle1.bin"));
  fs::create_symlink("circle1.bin", dir.File("circle2.bin"));
  EXPECT_EQ(Replace(dir.File("circle1.bin"), "new"), ReplaceResult::kNotCreated);
  EXPECT_TRUE(fs::is_symlink(dir.File("circle1.bin")));
  EXPECT_TRUE(fs::is_symlink(dir.File("circle2.bin")));
}

// A new file gets what the user's file-creation mask lets through, as any new file does.
TEST(ReplaceUserFile, NewFileHasTheModeOfAnyNewFile) {
  TempDir dir;
  const mode_t old_mask = umask(027);
  const ReplaceResult result = Replace(dir.File("image.bin"), "new");
  umask(old_mask);
  ASSERT_EQ(result, ReplaceResult::kReplaced);
  EXPECT_EQ(Mode(dir.File("image.bin")), 0640u);
}

TEST(ReplaceUserFile, PermissionsAreKept) {
  TempDir dir;
  for (const unsigned mode : {0444u, 0600u, 0640u}) {
    const std::string path = dir.File("file" + std::to_string(mode));
    WriteFileText(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_EQ(Replace(path, "new"), ReplaceResult::kReplaced);
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(ReadFileText(path), "new");
  }
}

TEST(ReplaceUserFile, HardLinkedFileGetsANewIdentity) {
  TempDir dir;
  const std::string path = dir.File("board.bin");
  WriteFileText(path, "old");
  fs::create_hard_link(path, dir.File("other.bin"));
  ASSERT_EQ(Replace(path, "new"), ReplaceResult::kReplaced);
  EXPECT_EQ(ReadFileText(path), "new");
  EXPECT_EQ(ReadFileText(dir.File("other.bin")), "old");
  EXPECT_FALSE(SameUserFile(path.c_str(), dir.File("other.bin").c_str()));
}

TEST(ReplaceUserFile, DirectoryThatTakesNoNewFileIsWrittenInPlace) {
  TempDir dir;
  fs::create_directory(dir.File("locked"));
  const std::string path = dir.File("locked/board.ini");
  WriteFileText(path, "mac = 55, serial = 01");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  const auto replace_locked = [&](const std::string& text) {
    chmod(dir.File("locked").c_str(), 0555);
    ReplaceResult result;
    {
      const OrdinaryFileUser user;
      result = Replace(path, text);
    }
    chmod(dir.File("locked").c_str(), 0755);
    return result;
  };
  // The faults of the rewrite in place are tried on a file system in memory; this is the real
  // system's refusal of a new file leading to it.
  EXPECT_EQ(replace_locked("mac = 56, serial = 02"), ReplaceResult::kReplaced);
  EXPECT_EQ(ReadFileText(path), "mac = 56, serial = 02");
}

TEST(SameUserFile, OneFileWhateverItsSpelling) {
  TempDir dir;
  const std::string path = dir.File("board.ini");
  WriteFileText(path, "x");
  WriteFileText(dir.File("other.ini"), "x");
  fs::create_symlink(path, dir.File("link.ini"));
  const std::string dotted = dir.path().string() + "/./sub/../board.ini";
  fs::create_directory(dir.File("sub"));
  EXPECT_TRUE(SameUserFile(path.c_str(), dotted.c_str()));
  EXPECT_TRUE(SameUserFile(path.c_str(), dir.File("link.ini").c_str()));
  EXPECT_FALSE(SameUserFile(path.c_str(), dir.File("other.ini").c_str()));
  EXPECT_FALSE(SameUserFile(path.c_str(), dir.File("missing.ini").c_str()));
}

TEST(UserFileLock, SecondHolderIsBusyUntilTheFirstLetsGo) {
  TempDir dir;
  const std::string path = dir.File("board.ini");
  WriteFileText(path, "x");
  UserFileLock first;
  UserFileLock second;
  ASSERT_EQ(first.Acquire(path.c_str(), false), UserFileLock::Result::kLocked);
  EXPECT_EQ(second.Acquire(path.c_str(), false), UserFileLock::Result::kBusy);
  EXPECT_FALSE(second.held());
  first.Release();
  EXPECT_EQ(second.Acquire(path.c_str(), false), UserFileLock::Result::kLocked);
  EXPECT_EQ(first.Acquire(dir.File("missing").c_str(), false), UserFileLock::Result::kFailed);
}

TEST(UserFileLock, AWaiterGetsTheFileThatReplacedTheOneItWaitedFor) {
  // The holder writes the next values back by replacing the file; a waiter that woke holding the
  // old file would let a third run lock the new one beside it.
  TempDir dir;
  const std::string path = dir.File("board.ini");
  WriteFileText(path, "old");
  UserFileLock first;
  ASSERT_EQ(first.Acquire(path.c_str(), false), UserFileLock::Result::kLocked);
  UserFileLock second;
  std::atomic<pid_t> waiter_id{0};
  std::thread waiter([&] {
    waiter_id = static_cast<pid_t>(syscall(SYS_gettid));
    EXPECT_EQ(second.Acquire(path.c_str(), true), UserFileLock::Result::kLocked);
  });
  ASSERT_TRUE(Sleeping(waiter_id));  // blocked on the old file's lock
  ASSERT_EQ(Replace(path, "new"), ReplaceResult::kReplaced);
  first.Release();
  waiter.join();
  UserFileLock third;
  EXPECT_EQ(third.Acquire(path.c_str(), false), UserFileLock::Result::kBusy);
}

TEST(UserFileLock, OnlyARegularFileThatMayBeWrittenIsLocked) {
  TempDir dir;
  const std::string path = dir.File("board.ini");
  WriteFileText(path, "x");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  UserFileLock lock;
  {
    const OrdinaryFileUser user;
    EXPECT_EQ(lock.Acquire(path.c_str(), false), UserFileLock::Result::kNotWritable);
  }
  EXPECT_EQ(lock.Acquire(dir.path().c_str(), false), UserFileLock::Result::kFailed);
  EXPECT_EQ(lock.Acquire("/dev/null", false), UserFileLock::Result::kFailed);
}

TEST(AppendLineFlushed, ARecordOnTheDiskGetsItsHeaderOnceAndWholeLines) {
  TempDir dir;
  const std::string path = dir.File("record.csv");
  ASSERT_TRUE(CanAppendToFile(path.c_str()));
  ASSERT_TRUE(AppendLineFlushed(path.c_str(), "head\n", "one"));
  ASSERT_TRUE(AppendLineFlushed(path.c_str(), "head\n", "two\n"));
  EXPECT_EQ(ReadFileText(path), "head\none\ntwo\n");
  EXPECT_FALSE(CanAppendToFile(dir.path().c_str()));
}

}  // namespace
