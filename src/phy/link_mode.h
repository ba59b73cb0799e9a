// link_mode.h - the link-mode stage of a run (-l): set the mode, wait for the link, report it.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "app/step_result.h"
#include "driver/driver.h"
#include "platform/clock.h"

// What the later stages learn from the link-mode stage.
struct LinkModeOutcome {
  int link_state = -1;  // the link-state code: -1 down or error, 0 negotiating, 1 to 6 up
  uint8_t reply = 0;    // the driver's reply byte to SET_LINK_MODE
};

StepResult SetLinkModeStep(Driver& driver, Clock& clock, const CommandOptions& options,
                           LinkModeOutcome* outcome);
