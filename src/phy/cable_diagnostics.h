// cable_diagnostics.h - the PHY's pair-scan cable test (-V): each of the four pairs is tested in
// turn and reported with its status and the distance to a fault or the failure byte.
#pragma once

#include "driver/driver.h"
#include "platform/clock.h"

// Runs the cable test on pairs A to D with the PHY forced to 1000 Mb/s slave. A link that is up
// is taken down first (the driver's link state too). On every path that changed the PHY,
// registers 9 and 0 are put back and checked, and the driver's link state is set up again if the
// test set it down. Returns true when every pair gave a result (open and shorted pairs included)
// and the PHY was left as it was found; false when the test aborted, a pair timed out or showed
// the Failed status, a request failed, or the restore did not hold.
bool RunCableDiagnostics(Driver& driver, Clock& clock);
