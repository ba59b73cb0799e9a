// syscall_kill.h - a command run under ptrace and killed with SIGKILL as it enters a chosen
// system call: a station switched off, or a process killed, at any point of a run. Linux only.
//
// Only system calls from the command's first open of a path inside |watch_dir| on are counted
// (that open is number 1): nothing before it can change a file or a board of the test.
#pragma once

#include <string>
#include <vector>

struct SyscallKillCommand {
  std::vector<std::string> argv;         // argv[0] is the program's path
  std::vector<std::string> environment;  // "NAME=value", on top of this process's environment
  std::string work_dir;                  // the command's current directory
  std::string watch_dir;                 // absolute
  std::string output_path;               // standard output and error; "" for /dev/null
  // A run that enters more counted calls than this is killed and reported as a runaway, so that
  // a command that waits forever cannot hold the test.
  long max_syscalls = 100000;
};

struct SyscallKillRun {
  bool traced = false;  // false: the command could not be run under ptrace; |why| says why
  std::string why;
  bool killed = false;     // killed by the tracer at call |syscalls|, or as a runaway
  bool runaway = false;    // killed for passing |max_syscalls|
  int exit_code = 0;       // as a shell sees it, when it ended on its own; 128 + signal otherwise
  long syscalls = 0;       // counted calls entered, the one it was killed at included
  long last_syscall = -1;  // the number (SYS_...) of the last counted call entered
  std::vector<long> numbers;  // the number of every counted call, in order
  // The first argument of every counted call (a file descriptor for write or fsync), in order.
  std::vector<unsigned long long> first_arguments;
};

// Runs |command| and kills it as it enters counted call |kill_at|; 0 lets it run to its end,
// which tells how many calls a whole run makes.
SyscallKillRun RunKilledAtSyscall(const SyscallKillCommand& command, long kill_at);
