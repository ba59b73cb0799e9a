// step_result.h - what one stage of the programming sequence hands back to the main flow.
#pragma once

struct StepResult {
  int exit_code = 0;  // the process exit code this stage sets; 0 sets none
  bool stop = false;  // the run ends here with exit_code
};
