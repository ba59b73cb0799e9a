// emu_bench_run.cpp - one in-process run of the program on the bench. Kept apart so that tests
// which never run the program do not need the main flow.
#include "app/main_flow.h"
#include "support/emu_bench.h"

int EmuBench::Run(const std::vector<std::string>& arguments) {
  ClosePlatform();
  std::vector<std::string> words = {"5200WinCmd"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  EmuPlatform platform(dir_, console_);
  const int code = RunMain(static_cast<int>(words.size()), argv.data(), platform.Services());
  platform.machine().Close();
  ExpectNothingLeftOpen(platform);
  return code;
}
