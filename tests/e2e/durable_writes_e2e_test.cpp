// durable_writes_e2e_test.cpp - the order of a programming run's system calls that makes its files
// durable: the stepped INI file flushed before it is renamed over the old one, the directory
// flushed after the rename, and each line of the record flushed, the reservation before the
// board is written.
#include <gtest/gtest.h>
#include <sys/syscall.h>

#include <filesystem>
#include <string>
#include <vector>

#include "emu/adapter_state.h"
#include "emu/state_file.h"
#include "support/run_program.h"
#include "support/syscall_kill.h"
#include "support/temp_dir.h"

namespace {

bool IsWrite(long number) { return number == SYS_write || number == SYS_pwrite64; }
bool IsFlush(long number) { return number == SYS_fsync || number == SYS_fdatasync; }
bool IsRename(long number) {
  return number == SYS_rename || number == SYS_renameat || number == SYS_renameat2;
}

// The calls that tell durability, one word each, for a failure's message.
std::string Trace(const SyscallKillRun& run) {
  std::string text;
  for (size_t i = 0; i < run.numbers.size(); ++i) {
    const long number = run.numbers[i];
    std::string fd = "(";
    fd += std::to_string(run.first_arguments[i]);
    fd += ") ";
    if (IsWrite(number)) text += "write" + fd;
    if (IsFlush(number)) text += "flush" + fd;
    if (IsRename(number)) text += "rename ";
    if (number == SYS_close) text += "close" + fd;
  }
  return text;
}

size_t Next(const SyscallKillRun& run, size_t from, bool (*kind)(long)) {
  while (from < run.numbers.size() && !kind(run.numbers[from])) ++from;
  return from;
}

// Whether the write at |at| is followed by a flush of its descriptor before that is closed.
bool FlushedAfter(const SyscallKillRun& run, size_t at) {
  const unsigned long long fd = run.first_arguments[at];
  for (size_t i = at + 1; i < run.numbers.size(); ++i) {
    if (run.first_arguments[i] != fd) continue;
    if (IsFlush(run.numbers[i])) return true;
    if (run.numbers[i] == SYS_close || IsWrite(run.numbers[i])) return false;
  }
  return false;
}

TEST(DurableWrites, IniStepAndRecordLinesReachTheDiskInOrder) {
  TempDir root;
  const std::string emu_dir = root.File("emu");
  const std::string work_dir = root.File("work");
  std::filesystem::create_directories(emu_dir);
  std::filesystem::create_directories(work_dir);
  emu::SaveAdapter(emu_dir, emu::MakeAdapter(0, {}));
  WriteFileText(work_dir + "/board.ini", ReadFileText(QNT_SOURCE_DIR "/examples/board.ini"));
  SyscallKillCommand command;
  command.argv = {QNT_TOOL_PATH, "-w", "-i", "board.ini", "-s", "-t", "rec.csv"};
  command.environment = {"QNT5200_EMU_DIR=" + emu_dir};
  command.work_dir = work_dir;
  command.watch_dir = root.path().string();
  const SyscallKillRun run = RunKilledAtSyscall(command, 0);
  if (!run.traced) GTEST_SKIP() << "the run cannot be traced: " << run.why;
  ASSERT_EQ(run.exit_code, 0);
  const std::string trace = Trace(run);

  // The stepped INI file: its last write flushed before the rename, the directory flushed after
  // it before anything else is written.
  const size_t rename = Next(run, 0, IsRename);
  ASSERT_LT(rename, run.numbers.size()) << trace;
  size_t last_write = rename;
  for (size_t i = 0; i < rename; ++i) {
    if (IsWrite(run.numbers[i])) last_write = i;
  }
  ASSERT_LT(last_write, rename) << trace;
  EXPECT_TRUE(FlushedAfter(run, last_write)) << "the new INI file is not flushed: " << trace;
  EXPECT_LT(Next(run, rename, IsFlush), Next(run, rename, IsWrite))
      << "the directory is not flushed after the rename: " << trace;

  // The record's two lines: each write flushed; the reservation's before the emulator saves the
  // written EEPROM (its state file is renamed into place).
  std::vector<size_t> flushed_writes;
  for (size_t i = Next(run, rename + 1, IsWrite); i < run.numbers.size();
       i = Next(run, i + 1, IsWrite)) {
    if (FlushedAfter(run, i)) flushed_writes.push_back(i);
  }
  ASSERT_EQ(flushed_writes.size(), 2u) << "the record's lines are not flushed: " << trace;
  EXPECT_LT(flushed_writes[0], Next(run, rename + 1, IsRename))
      << "the reservation is not on the disk before the board is written: " << trace;
}

}  // namespace
