// rig_set.h - one set of a rig: a run of the utility per slot, all started at once, followed
// through their logs while they run, and told as a live table or as lines of changes.
#pragma once

#include <string>
#include <vector>

#include "platform/child_processes.h"
#include "platform/console.h"
#include "platform/operator_console.h"
#include "tools/rig/rig_census.h"
#include "tools/rig/slot_state.h"

// The services a rig runs on.
struct RigServices {
  Console& console;
  ScreenCursor& cursor;
  ChildProcesses& children;
  InterruptWatch& interrupt;
};

// What every set of one rig shares.
struct RigPlan {
  std::string program;                 // the utility's path
  std::vector<std::string> run_words;  // after "-X N"
  std::vector<uint32_t> adapters;
  RigCensus census;
  bool live_table = false;     // redraw the table in place (standard output is a console)
  bool text_to_error = false;  // the rig's text goes to standard error (-a)
};

struct SetResult {
  std::string folder;
  std::vector<SlotState> slots;
  std::vector<std::string> documents;  // each run's results document, "" when it wrote none
};

// Makes the set's log folder |folder| beforehand (see MakeSetFolder), runs the set and returns
// once every run it started has ended.
SetResult RunRigSet(const RigPlan& plan, const std::string& folder, RigServices& services);

// A new folder "rig-YYYYMMDD-HHMMSS" (UTC) in the current directory, "-2", "-3"... added when the
// name is taken. False with |*why| when none can be made.
bool MakeSetFolder(std::string* folder, std::string* why);

// Writes |text| where the rig's text goes.
void RigSay(const RigPlan& plan, RigServices& services, const std::string& text);
