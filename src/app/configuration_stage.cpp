// configuration_stage.cpp - locking and loading the INI file.
#include "app/configuration_stage.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/direct_access_operations.h"
#include "app/ini_hints.h"
#include "common/exit_codes.h"
#include "config/ini_loader.h"
#include "config/ini_problem.h"

namespace {

// Two stations stepping from one INI file must not both read the same values: the second waits
// until the first has written the next ones back. A file the run may not write is read all the
// same, so that its own faults are told first; the run is refused before the board is touched
// (CheckIniSource), since its values would go to every board.
int LockIniFile(const char* name, UserFileLock& lock, bool* writable, std::string* reason,
                Console& console) {
  UserFileLock::Result locked = lock.Acquire(name, false);
  if (locked == UserFileLock::Result::kBusy) {
    console.Printf("The file %s is being stepped by another run; waiting for it\n", name);
    locked = lock.Acquire(name, true);
  }
  if (locked == UserFileLock::Result::kLocked) {
    // A run killed while stepping the file left the new contents beside it, never used.
    lock.RemoveLostReplacements(name);
    return 0;
  }
  if (locked == UserFileLock::Result::kNotWritable) {
    *writable = false;
    return 0;
  }
  console.Printf("The file %s is not found\n", name);
  *reason = "cannot be locked";
  uint8_t byte = 0;
  size_t count = 0;
  ReadUserFile(name, &byte, 1, &count, reason);
  console.Diagnostic("%s: %s\n", name, reason->c_str());
  return kExitBadParameters;
}

// The command line ends at -G and -k, before the final checks that load the configuration file,
// and a register access returns from them before that check.
bool ReadsConfiguration(uint32_t operation) {
  return FindDirectAccess(operation) == nullptr && operation != kOpGetInfo &&
         operation != kOpSetLinkState;
}

}  // namespace

int LoadConfiguration(const CommandOptions& options, RunState& run, UserFileLock& ini_lock,
                      Console& console) {
  if (!ReadsConfiguration(options.Operation)) return 0;
  const char* name = options.IniFileName.get();
  if (options.SteppingEnabled) {
    if (const int locked =
            LockIniFile(name, ini_lock, &run.ini_writable, &run.ini.unread_reason, console)) {
      run.ini.file_name = name;
      return locked;
    }
  }
  int result = 0;
  if (options.IniFileName.IsSet() && LoadIniFile(name, run.settings, run.ini, console) != 0) {
    PrintIniLoadHints(run.ini, console);
    result = kExitBadParameters;
  }
  if (CheckGpioWake(run.settings, console) != 0) {
    PrintIniConflictHints(run.settings, run.ini, console);
    result = kExitNoOperation;
  }
  return result;
}

FailureCause ConfigurationFailure(const ConsoleMessages& messages, const IniState& ini) {
  FailureCause cause{.told = {kParameterErrorText}};
  // The section handlers mark their messages as warnings; a file not found is plain text.
  for (const MarkedMessage& message : messages.marked) {
    if (message.text.empty()) continue;
    cause.error = message.text;
    break;
  }
  if (cause.error.empty()) cause.error = messages.last_plain_line;
  cause.told.push_back(cause.error);
  // A skipped section stopped nothing.
  const auto fault =
      std::find_if(ini.problems.begin(), ini.problems.end(), [](const IniProblem& p) {
        return p.fault != IniFault::kUnknownSection && p.fault != IniFault::kBlankedHeader;
      });
  if (fault != ini.problems.end()) {
    cause.error += " (" + DescribeIniProblem(ini.file_name, *fault) + ")";
  } else if (!ini.unread_reason.empty()) {
    cause.error += " (" + ini.unread_reason + ")";
  }
  return cause;
}
