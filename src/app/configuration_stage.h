// configuration_stage.h - the configuration file of a run: locked first when the run steps it,
// then loaded into the run's settings and checked.
#pragma once

#include "app/command_options.h"
#include "app/error_watch_console.h"
#include "app/run_results.h"
#include "app/run_state.h"
#include "platform/console.h"
#include "platform/user_file.h"

// Loads |options.IniFileName| (when named) into |run|, with |ini_lock| held from before the load
// for a run that steps it (|run.ini_writable| false when the file may not be written, so not
// locked), and runs the GPIO wake cross-check. A register access reads no configuration, nor does
// a run of -G or -k. Returns 0, or the exit code after its message: kExitBadParameters (the file
// not loaded), kExitNoOperation (the wake check).
int LoadConfiguration(const CommandOptions& options, RunState& run, UserFileLock& ini_lock,
                      Console& console);

// The generic line a command line's or a configuration's error ends with.
inline constexpr char kParameterErrorText[] = "Parameter Error (use -h for help)";

// What stopped a run whose configuration failed, from the messages of the load (|messages|) and
// the places of the file's faults: the first message, with the file and line of the first fault
// or the system's reason the file was not read.
FailureCause ConfigurationFailure(const ConsoleMessages& messages, const IniState& ini);
