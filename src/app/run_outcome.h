// run_outcome.h - what a run's results say of how it ended: the error of a run that did not
// succeed, and the other messages it marked as errors or warnings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/error_watch_console.h"
#include "app/run_results.h"

struct RunOutcome {
  std::optional<std::string> error;  // none exactly when the run succeeded
  std::vector<std::string> warnings;
};

// The outcome of a run that ended with |exit_code| after printing |messages|. A failed run's
// error is its first marked error that asked nothing, else the cable pair that gave no result,
// else the last line it printed, else the meaning of its exit code. Every other marked message
// is a warning, the questions a run asked included.
RunOutcome OutcomeOf(const RunResults& results, const ConsoleMessages& messages, int exit_code);
