// file_faults.h - making file operations fail on purpose in tests, also when the tests run as
// root (who passes every permission check).
#pragma once

#include <signal.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// While alive, no file of this process may grow beyond |bytes|: a longer write fails (EFBIG)
// instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  sighandler_t old_handler_ = SIG_DFL;
};

// While alive, file permissions are checked as for an ordinary user (uid and gid 65534), so
// that a directory without write permission really refuses new files. Nothing changes when the
// process is not root, whose checks are ordinary already.
class OrdinaryFileUser {
 public:
  OrdinaryFileUser() {
    if (geteuid() != 0) return;
    setfsgid(kNobody);
    setfsuid(kNobody);
    active_ = true;
  }
  ~OrdinaryFileUser() {
    if (!active_) return;
    setfsuid(0);
    setfsgid(0);
  }
  OrdinaryFileUser(const OrdinaryFileUser&) = delete;
  OrdinaryFileUser& operator=(const OrdinaryFileUser&) = delete;

 private:
  static constexpr uid_t kNobody = 65534;
  bool active_ = false;
};
