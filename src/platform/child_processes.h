// child_processes.h - other programs run as child processes of this one: each started with its
// output in files of its own and standard input empty, in a process group of its own so that
// the operator's Ctrl+C reaches only this program, and waited for together. None is ever killed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A started child as this service numbers it.
using ChildId = uint32_t;

// Where a child's output goes. Both files are created (or emptied) before it starts.
struct ChildOutput {
  std::string log_path;     // standard error, and standard output unless |output_path| is given
  std::string output_path;  // standard output apart; "" keeps it in the log
};

// How a child ended.
struct ChildEnd {
  ChildId child = 0;
  // The status as the parent receives it: the exit code (its low eight bits on POSIX), or on
  // POSIX 128 + the signal for a child a signal ended, as a shell shows it.
  int exit_code = 0;
  int signal = 0;  // the signal that ended the child (POSIX), 0 when it returned
};

class ChildProcesses {
 public:
  virtual ~ChildProcesses() = default;

  // Starts |program| (a path) with |arguments| after its own name. False with |*error| (the
  // system's words) when the output files or the process could not be made.
  virtual bool Start(const std::string& program, const std::vector<std::string>& arguments,
                     const ChildOutput& output, ChildId* child, std::string* error) = 0;
  // Waits at most |milliseconds| for one of the started children to end: true with |*end| when
  // one did (each child is reported once), false when none ended in that time or none is left.
  // Ctrl+C (see InterruptWatch) may cut the wait short.
  virtual bool WaitAny(uint32_t milliseconds, ChildEnd* end) = 0;
  // The children started and not yet reported by WaitAny.
  virtual size_t Running() const = 0;
};

std::unique_ptr<ChildProcesses> CreateChildProcesses();

// The path of the program |name| in the folder of this process's own executable, with the
// system's suffix for programs (".exe" on Windows); "" when the executable's folder is unknown.
std::string ProgramBeside(const char* name);
