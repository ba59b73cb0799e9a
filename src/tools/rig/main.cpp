// main.cpp - qnt5200-rig: programs every adapter of a multi-slot fixture at once, one run of the
// utility per slot, with a live table and one verdict.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/child_processes.h"
#include "platform/operator_console.h"
#include "platform/platform.h"
#include "platform/stdio_console.h"
#include "tools/rig/adapter_list.h"
#include "tools/rig/rig_options.h"
#include "tools/rig/rig_session.h"
#include "tools/rig/rig_verdict.h"
#include "version/build_version.h"

// The utility each slot runs, beside this program; the Windows test build names its own.
#ifndef QNT_RIG_RUNS
#define QNT_RIG_RUNS "5200WinCmd"
#endif

namespace {

// Asked before anything starts, with the device closed again before the first run opens it.
bool Census(RigCensus* census, std::string* why) {
  const std::unique_ptr<SystemPlatform> system = CreateSystemPlatform();
  return TakeRigCensus(system->Services(), census, why);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  RigOptions options;
  std::string why;
  switch (ParseRigOptions(words, &options, &why)) {
    case RigRequest::kHelp:
      std::fputs(RigUsage(), stdout);
      return 0;
    case RigRequest::kVersion:
      std::printf("%s\n", VersionLine("qnt5200-rig").c_str());
      return 0;
    case RigRequest::kBad:
      std::fprintf(stderr, "qnt5200-rig: %s\n%s", why.c_str(), RigUsage());
      return kRigBadCommandLine;
    case RigRequest::kRun:
      break;
  }
  RigPlan plan;
  plan.program = ProgramBeside(QNT_RIG_RUNS);
  plan.run_words = options.run_words;
  if (plan.program.empty()) {
    std::fprintf(stderr,
                 "qnt5200-rig: the folder of this program is unknown, so 5200WinCmd "
                 "beside it cannot be found\n");
    return kRigNoRun;
  }
  if (!Census(&plan.census, &why)) {
    std::fprintf(stderr, "qnt5200-rig: %s\n", why.c_str());
    return kRigNoRun;
  }
  if (!ParseAdapterList(options.adapters, plan.census.served, &plan.adapters, &why)) {
    std::fprintf(stderr, "qnt5200-rig: -X %s: %s\n", options.adapters.c_str(), why.c_str());
    return kRigBadCommandLine;
  }
  StdioConsole console;
  plan.text_to_error = options.document;
  plan.live_table = !options.document && console.IsConsole(ConsoleStream::kOutput);
  const std::unique_ptr<ScreenCursor> cursor = CreateScreenCursor();
  const std::unique_ptr<ChildProcesses> children = CreateChildProcesses();
  const std::unique_ptr<InterruptWatch> interrupt = WatchInterrupt();
  RigServices services{console, *cursor, *children, *interrupt};
  return RunRigSession(plan, options.repeat, options.document, services);
}
