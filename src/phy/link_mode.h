// link_mode.h - setting a link mode (-l): set the mode, wait for the link, report it.
#pragma once

#include <cstdint>

#include "driver/driver.h"
#include "phy/link_state.h"
#include "platform/clock.h"

// One -l link mode: its code (sent to SET_LINK_MODE, and the link-state code of that mode), the
// command-line text and the name the stage reports it by.
struct LinkModeEntry {
  int32_t code;
  const char* option;
  const char* name;
};

inline constexpr LinkModeEntry kLinkModes[] = {
    {.code = kLink10Half, .option = "10hd", .name = "10 HD"},
    {.code = kLink10Full, .option = "10fd", .name = "10 FD"},
    {.code = kLink100Half, .option = "100hd", .name = "100 HD"},
    {.code = kLink100Full, .option = "100fd", .name = "100 FD"},
    {.code = kLink1000FullMaster, .option = "1000fd", .name = "1000 FD"},
};

enum class LinkModeResult {
  kLinkUp,
  kRequestFailed,  // the driver refused the mode
  kNoLink,         // the mode was set but the link stayed down
};

// What the later stages learn from the link-mode stage.
struct LinkModeOutcome {
  int link_state = -1;  // the link-state code: -1 down or error, 0 negotiating, 1 to 6 up
  uint8_t reply = 0;    // the driver's reply byte to SET_LINK_MODE
};

// Sets |link_mode| (a code of kLinkModes), waits for the link and prints the mode it came up in,
// or why it did not.
LinkModeResult SetLinkMode(Driver& driver, Clock& clock, int32_t link_mode,
                           LinkModeOutcome* outcome);

// The name a link-state code is reported by; both gigabit codes (master and slave) give
// "1000 FD".
const char* LinkModeName(int link_state);
