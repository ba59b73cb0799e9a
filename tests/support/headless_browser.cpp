// headless_browser.cpp - finding and running the headless browser.
#include "support/headless_browser.h"

#include <cstdlib>
#include <sstream>

#include <unistd.h>

#include "support/run_program.h"
#include "support/temp_dir.h"

std::string FindHeadlessBrowser() {
  if (const char* named = std::getenv("QNT_TEST_BROWSER"); named != nullptr && *named != '\0') {
    return access(named, X_OK) == 0 ? named : "";
  }
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string program = (folder.empty() ? "." : folder) + "/chromium";
    if (access(program.c_str(), X_OK) == 0) return program;
  }
  return "";
}

std::optional<std::string> RenderedDocument(const std::string& browser, const std::string& page,
                                            int seconds) {
  const TempDir profile;  // its destructor removes whatever the browser left there
  const std::string home = Quote(profile.path().string());
  // timeout puts the browser in a process group of its own and, when time runs out, signals the
  // whole group: the browser's helper processes end with it.
  const std::string command =
      "HOME=" + home + " XDG_CONFIG_HOME=" + home + " XDG_CACHE_HOME=" + home +
      " timeout --kill-after=5 " + std::to_string(seconds) + " " + Quote(browser) +
      " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
      " --disable-background-networking --disable-component-update --disable-sync"
      " --user-data-dir=" +
      Quote(profile.File("profile")) + " --dump-dom " + Quote("file://" + page) +
      " </dev/null 2>/dev/null";
  ProgramRun run = RunShell(command);
  if (run.exit_code != 0) return std::nullopt;
  return std::move(run.output);
}
