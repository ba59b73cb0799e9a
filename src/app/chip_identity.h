// chip_identity.h - which controllers the utility accepts, and how a run learns its chip: from
// controller register 0, or from the chip model named for offline generation.
#pragma once

#include "app/command_options.h"
#include "app/run_state.h"
#include "driver/driver.h"

// Reads register 0 and accepts a QNT5200-family chip. Returns 0 or kExitNoDevice.
int IdentifyChip(Driver& driver, ChipIdentity* chip);
// The chip of |options.ChipModelName|, for offline generation; its name stays empty.
// Returns 0 or kExitNoDevice.
int IdentifyChipModel(const CommandOptions& options, ChipIdentity* chip, Console& console);
