// posix_exchange_watch.cpp - the exchange watch on POSIX: the connection's sockets are the ones
// the driver opened while it connected, found in /proc/self/fd; a thread of the watch shuts them
// down when an exchange outlives its deadline, which wakes the driver's blocked read.
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/exchange_watch.h"

namespace {

using Clock = std::chrono::steady_clock;

std::set<int> OpenSockets() {
  std::set<int> sockets;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return sockets;
  const int own = dirfd(dir);
  while (const dirent* entry = readdir(dir)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    struct stat info {};
    if (end == entry->d_name || *end != '\0' || fd == own) continue;
    if (fstat(static_cast<int>(fd), &info) == 0 && S_ISSOCK(info.st_mode)) {
      sockets.insert(static_cast<int>(fd));
    }
  }
  closedir(dir);
  return sockets;
}

}  // namespace

struct ExchangeWatch::State {
  std::mutex lock;
  std::condition_variable changed;
  std::thread thread;
  std::set<int> before;
  std::vector<int> sockets;
  bool connecting = false;
  bool armed = false;
  bool cut = false;
  bool ending = false;
  Clock::time_point deadline;

  std::vector<int> NewSockets() const {
    std::vector<int> found;
    for (const int fd : OpenSockets()) {
      if (before.count(fd) == 0) found.push_back(fd);
    }
    return found;
  }

  void Watch() {
    std::unique_lock<std::mutex> held(lock);
    while (!ending) {
      if (!armed) {
        changed.wait(held);
      } else if (changed.wait_until(held, deadline) == std::cv_status::timeout && armed &&
                 Clock::now() >= deadline) {
        // A login that hangs is cut on the sockets it has opened so far.
        for (const int fd : connecting ? NewSockets() : sockets) shutdown(fd, SHUT_RDWR);
        cut = true;
        armed = false;
      }
    }
  }
};

ExchangeWatch::ExchangeWatch() : state_(std::make_unique<State>()) {}

ExchangeWatch::~ExchangeWatch() {
  if (!state_->thread.joinable()) return;
  {
    const std::lock_guard<std::mutex> held(state_->lock);
    state_->ending = true;
  }
  state_->changed.notify_all();
  state_->thread.join();
}

void ExchangeWatch::BeforeConnect() {
  std::set<int> before = OpenSockets();
  const std::lock_guard<std::mutex> held(state_->lock);
  state_->before = std::move(before);
  state_->sockets.clear();
  state_->connecting = true;
}

void ExchangeWatch::AfterConnect() {
  const std::lock_guard<std::mutex> held(state_->lock);
  state_->sockets = state_->NewSockets();
  state_->connecting = false;
}

void ExchangeWatch::Forget() {
  const std::lock_guard<std::mutex> held(state_->lock);
  state_->sockets.clear();
  state_->armed = false;
}

void ExchangeWatch::Arm(uint32_t milliseconds) {
  {
    const std::lock_guard<std::mutex> held(state_->lock);
    state_->armed = true;
    state_->cut = false;
    state_->deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    if (!state_->thread.joinable()) state_->thread = std::thread([this] { state_->Watch(); });
  }
  state_->changed.notify_all();
}

bool ExchangeWatch::Disarm() {
  const std::lock_guard<std::mutex> held(state_->lock);
  state_->armed = false;
  return state_->cut;
}
