// posix_child_processes.cpp - child processes through posix_spawn, each in a process group of its
// own (a terminal's Ctrl+C goes to the foreground group only), reaped with waitpid.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "platform/child_processes.h"

extern char** environ;

namespace {

// A file for a child's output, closed on exec in this process; -1 with |*error| on failure.
int OpenOutput(const std::string& path, std::string* error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) *error = path + ": " + std::strerror(errno);
  return fd;
}

int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

class PosixChildProcesses : public ChildProcesses {
 public:
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const ChildOutput& output, ChildId* child, std::string* error) override {
    const int log = OpenOutput(output.log_path, error);
    if (log < 0) return false;
    int out = log;
    if (!output.output_path.empty() && (out = OpenOutput(output.output_path, error)) < 0) {
      close(log);
      return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, log, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (out != log) close(out);
    close(log);
    if (result != 0) {
      *error = program + ": " + std::strerror(result);
      return false;
    }
    *child = next_id_++;
    running_[pid] = *child;
    return true;
  }

  bool WaitAny(uint32_t milliseconds, ChildEnd* end) override {
    const int64_t deadline = NowMs() + milliseconds;
    while (!running_.empty()) {
      int status = 0;
      const pid_t pid = waitpid(-1, &status, WNOHANG);
      if (pid > 0 && running_.count(pid) != 0) {
        end->child = running_[pid];
        running_.erase(pid);
        end->signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        end->exit_code = end->signal != 0 ? 128 + end->signal : WEXITSTATUS(status);
        return true;
      }
      const int64_t left = deadline - NowMs();
      if (left <= 0) return false;
      // Short naps keep the answer prompt; a signal (Ctrl+C) ends the wait early.
      const timespec nap{0, (left < 10 ? left : 10) * 1000000};
      if (nanosleep(&nap, nullptr) != 0 && errno == EINTR) return false;
    }
    return false;
  }

  size_t Running() const override { return running_.size(); }

 private:
  std::map<pid_t, ChildId> running_;
  ChildId next_id_ = 1;
};

}  // namespace

std::unique_ptr<ChildProcesses> CreateChildProcesses() {
  return std::make_unique<PosixChildProcesses>();
}

std::string ProgramBeside(const char* name) {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "";
  const std::string self(path, static_cast<size_t>(length));
  const size_t slash = self.rfind('/');
  if (slash == std::string::npos) return "";
  return self.substr(0, slash + 1) + name;
}
