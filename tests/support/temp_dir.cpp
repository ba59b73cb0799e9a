// temp_dir.cpp - per-test directories under the system's temporary directory.
#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include <unistd.h>

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("qnt5200-test-" + std::to_string(getpid()) + "-" + std::to_string(stamp) + "-" +
           std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
