// programming_sequence.h - what a run without a direct access or query does: the EEPROM or OTP
// stage (or offline generation), then the link mode, then the network test.
#pragma once

#include "app/command_options.h"
#include "app/eeprom_stage.h"
#include "app/run_results.h"
#include "app/run_state.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "platform/user_file.h"

// The files a run's stages share.
struct RunFiles {
  // Holds the INI file of a stepping run; a write lets it go once the next board's values are in
  // the file.
  UserFileLock& ini_lock;
  char* file_base;  // kFileBaseSize characters: the default file-name base (the chip name)
};

// Returns the run's exit code: that of the stage that ended the run, else that of the last
// stage that set one. What each stage did goes to |results|.
int RunProgrammingSequence(Platform& platform, Driver& driver, const CommandOptions& options,
                           RunState& run, RunFiles files, RunResults& results);
