// syscall_kill.cpp - the tracer: one traced child, stopped at every system call entry and exit
// (PTRACE_SYSCALL), counting entries once it has opened a path under the watched directory.
#include "support/syscall_kill.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// LeakSanitizer cannot work under ptrace: at its exit a sanitized command would end with 1.
constexpr char kNoLeakCheck[] = "detect_leaks=0";

std::vector<std::string> EnvironmentOf(const std::vector<std::string>& extra) {
  std::vector<std::string> all;
  auto overridden = [&extra](const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    for (const std::string& mine : extra) {
      if (mine.rfind(name, 0) == 0) return true;
    }
    return name == "ASAN_OPTIONS=";
  };
  std::string asan = std::string("ASAN_OPTIONS=") + kNoLeakCheck;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("ASAN_OPTIONS=", 0) == 0) asan = text + ":" + kNoLeakCheck;
    if (!overridden(text)) all.push_back(text);
  }
  all.insert(all.end(), extra.begin(), extra.end());
  all.push_back(asan);
  return all;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct ChildFailure {
  char step[16];
  int error;
};

// In the child between vfork and exec: it shares this process's memory, so it only makes system
// calls and writes its own frame.
[[noreturn]] void ExecTraced(const SyscallKillCommand& command, char* const* argv,
                             char* const* envp, int report) {
  const char* step = "output";
  const char* output = command.output_path.empty() ? "/dev/null" : command.output_path.c_str();
  const int out = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int in = open("/dev/null", O_RDONLY);
  if (out >= 0 && in >= 0 && dup2(in, 0) >= 0 && dup2(out, 1) >= 0 && dup2(out, 2) >= 0) {
    step = "chdir";
    if (chdir(command.work_dir.c_str()) == 0) {
      step = "ptrace";
      if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0) {
        step = "execve";
        execve(argv[0], argv, envp);
      }
    }
  }
  ChildFailure failure{};
  std::strncpy(failure.step, step, sizeof failure.step - 1);
  failure.error = errno;
  (void)!write(report, &failure, sizeof failure);
  _exit(127);
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// The text at |address| in the tracee, up to its terminating zero (at most 4 KiB).
std::string PeekString(pid_t pid, unsigned long long address) {
  std::string text;
  while (text.size() < 4096) {
    errno = 0;
    const long word = ptrace(PTRACE_PEEKDATA, pid, address + text.size(), nullptr);
    if (errno != 0) break;
    std::array<char, sizeof word> bytes{};
    std::memcpy(bytes.data(), &word, sizeof word);
    for (const char c : bytes) {
      if (c == '\0') return text;
      text += c;
    }
  }
  return text;
}

std::string DirectoryOf(pid_t pid, int dirfd, const std::string& work_dir) {
  if (dirfd == AT_FDCWD) return work_dir;
  const std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(dirfd);
  std::array<char, 4096> target{};
  const ssize_t length = readlink(link.c_str(), target.data(), target.size() - 1);
  return length > 0 ? std::string(target.data(), length) : "";
}

// Whether the call being entered opens a path under |watch_dir|.
bool OpensUnder(pid_t pid, const __ptrace_syscall_info& info, const SyscallKillCommand& command) {
  const auto nr = static_cast<long>(info.entry.nr);
  const auto* args = info.entry.args;
  int dirfd = AT_FDCWD;
  unsigned long long path_address = 0;
  if (nr == SYS_openat || nr == SYS_openat2) {
    dirfd = static_cast<int>(args[0]);
    path_address = args[1];
#ifdef SYS_open
  } else if (nr == SYS_open || nr == SYS_creat) {
    path_address = args[0];
#endif
  } else {
    return false;
  }
  std::string path = PeekString(pid, path_address);
  if (path.empty()) return false;
  if (path[0] != '/') path = DirectoryOf(pid, dirfd, command.work_dir) + "/" + path;
  const std::string& dir = command.watch_dir;
  return path.rfind(dir, 0) == 0 && (path.size() == dir.size() || path[dir.size()] == '/');
}

int KillAndReap(pid_t pid) {
  kill(pid, SIGKILL);
  const int status = WaitFor(pid);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

void Kill(pid_t pid, SyscallKillRun* run) {
  run->killed = true;
  run->exit_code = KillAndReap(pid);
}

// The tracer lost its hold on the child: nothing it says about the run can be trusted.
void Abandon(pid_t pid, const char* step, SyscallKillRun* run) {
  run->traced = false;
  run->why = std::string(step) + ": " + std::strerror(errno);
  KillAndReap(pid);
}

// Follows the stopped child to its end. Returns with |run| filled.
void Follow(pid_t pid, const SyscallKillCommand& command, long kill_at, SyscallKillRun* run) {
  bool counting = false;
  int pending_signal = 0;
  for (;;) {
    if (ptrace(PTRACE_SYSCALL, pid, nullptr, pending_signal) != 0) {
      return Abandon(pid, "PTRACE_SYSCALL", run);
    }
    pending_signal = 0;
    const int status = WaitFor(pid);
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      run->exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return;
    }
    const int stop = WSTOPSIG(status);
    if (stop != (SIGTRAP | 0x80)) {
      pending_signal = stop;
      continue;
    }
    __ptrace_syscall_info info{};
    if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) {
      return Abandon(pid, "PTRACE_GET_SYSCALL_INFO", run);
    }
    if (info.op != PTRACE_SYSCALL_INFO_ENTRY) continue;
    counting = counting || OpensUnder(pid, info, command);
    if (!counting) continue;
    ++run->syscalls;
    run->last_syscall = static_cast<long>(info.entry.nr);
    run->numbers.push_back(run->last_syscall);
    run->first_arguments.push_back(info.entry.args[0]);
    run->runaway = run->syscalls > command.max_syscalls;
    if (run->syscalls == kill_at || run->runaway) return Kill(pid, run);
  }
}

}  // namespace

SyscallKillRun RunKilledAtSyscall(const SyscallKillCommand& command, long kill_at) {
  SyscallKillRun run;
  std::vector<std::string> arguments = command.argv;
  std::vector<std::string> environment = EnvironmentOf(command.environment);
  const std::vector<char*> argv = Pointers(arguments);
  const std::vector<char*> envp = Pointers(environment);
  int report[2];
  if (arguments.empty() || pipe2(report, O_CLOEXEC) != 0) {
    run.why = "no command, or no pipe";
    return run;
  }
  // Not fork: copying a large sanitized process would make its every later write fault, and the
  // sweeps start hundreds of runs.
  const pid_t pid = vfork();
  if (pid == 0) ExecTraced(command, argv.data(), envp.data(), report[1]);
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    run.why = std::string("fork: ") + std::strerror(errno);
    return run;
  }
  // Stopped at its exec, or ended without it: the pipe then says where it failed.
  const int status = WaitFor(pid);
  ChildFailure failure{};
  const bool failed = read(report[0], &failure, sizeof failure) == sizeof failure;
  close(report[0]);
  if (failed || !WIFSTOPPED(status)) {
    if (WIFSTOPPED(status)) KillAndReap(pid);
    run.why = failed ? std::string(failure.step) + ": " + std::strerror(failure.error)
                     : "the command ended before its exec";
    return run;
  }
  run.traced = true;
  if (ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
    Abandon(pid, "PTRACE_SETOPTIONS", &run);
    return run;
  }
  Follow(pid, command, kill_at, &run);
  return run;
}
