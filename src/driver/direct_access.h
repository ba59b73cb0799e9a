// direct_access.h - reading or writing one controller register, PHY register, PCI configuration
// dword or PCIe PHY register (-R -W -y -Y -e -E -j -J).
#pragma once

#include "app/command_options.h"
#include "driver/driver.h"

// Runs the access chosen by |options.Operation| and prints its one result line; a write is
// followed by a read-back of the same location. The run's exit code stays 0 whatever happens.
void RunDirectAccess(Driver& driver, const CommandOptions& options);
