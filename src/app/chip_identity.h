// chip_identity.h - which controllers the utility accepts, and how a run learns its chip: from
// controller register 0, or from the chip model named for offline generation.
#pragma once

#include "app/command_options.h"
#include "driver/driver.h"

// Reads register 0 and accepts a QNT5200-family chip, setting IdRegister and ChipName.
// Returns 0 or kExitNoDevice.
int IdentifyChip(Driver& driver, CommandOptions& options);
// Sets IdRegister from ChipModelName for offline generation; ChipName stays empty.
// Returns 0 or kExitNoDevice.
int IdentifyChipModel(CommandOptions& options, Console& console);
