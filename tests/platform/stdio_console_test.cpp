// stdio_console_test.cpp - whether the process's standard output and error are a terminal, asked
// with each of them in turn on a pseudo-terminal, a pipe, a file and a device that is no terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/stdio_console.h"

namespace {

// Puts |fd| in the place of standard handle |target| while alive; closes |fd|.
class Redirect {
 public:
  Redirect(int target, int fd) : target_(target), saved_(dup(target)) {
    std::fflush(nullptr);
    dup2(fd, target);
    close(fd);
  }
  ~Redirect() {
    std::fflush(nullptr);
    dup2(saved_, target_);
    close(saved_);
  }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  int target_;
  int saved_;
};

// The terminal end of a new pseudo-terminal, whose other end |*controller| keeps open.
int OpenTerminal(int* controller) {
  *controller = posix_openpt(O_RDWR | O_NOCTTY);
  if (*controller < 0 || grantpt(*controller) != 0 || unlockpt(*controller) != 0) return -1;
  return open(ptsname(*controller), O_RDWR | O_NOCTTY);
}

TEST(StdioConsole, EachStreamIsAConsoleOnlyOnATerminal) {
  StdioConsole console;
  for (const auto& [stream, fd] : {std::pair{ConsoleStream::kOutput, STDOUT_FILENO},
                                   std::pair{ConsoleStream::kError, STDERR_FILENO}}) {
    int controller = -1;
    const int terminal = OpenTerminal(&controller);
    ASSERT_GE(terminal, 0);
    {
      const Redirect to_terminal(fd, terminal);
      EXPECT_TRUE(console.IsConsole(stream));
    }
    close(controller);

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    {
      const Redirect to_pipe(fd, ends[1]);
      EXPECT_FALSE(console.IsConsole(stream));
    }
    close(ends[0]);

    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    for (const int other : {dup(fileno(log)), open("/dev/null", O_WRONLY)}) {
      const Redirect to_other(fd, other);
      EXPECT_FALSE(console.IsConsole(stream));
    }
    std::fclose(log);
  }
}

}  // namespace
