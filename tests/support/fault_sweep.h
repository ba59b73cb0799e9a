// fault_sweep.h - every driver request of a flow, failed in each way a driver can fail it: a
// failed status, a failed control call, and a success that does nothing (status 0, no data, no
// effect). Each faulted run must either end exactly as the clean run did or fail with a message,
// leaving the board as it was or as the clean run left it; a board that was changed leaves the
// files as the clean run does (its identity used up), any other leaves them either way.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/emu_bench.h"

struct SweepFlow {
  std::vector<std::string> arguments;
  // The directory whose files the user owns; every entry in it is compared.
  std::string work_dir;
  // Puts the board and the files back where every run of the flow starts.
  std::function<void()> prepare;
  // The exit code of a run failed at a request of each command.
  std::map<uint32_t, int> exit_codes;
};

// Runs |flow| once cleanly (it must succeed), then once per request of the clean run and kind of
// fault, and reports every run that breaks the rule above as a test failure. Returns the number
// of faulted runs.
int SweepRequestFaults(EmuBench& bench, const SweepFlow& flow);

// The failure line a driver request prints, with |status_text| in its place (spacing as the
// driver operations have it), or "" for a command the utility does not send.
std::string RequestFailureLine(uint32_t command, const std::string& status_text);
