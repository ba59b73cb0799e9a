// cable_diagnostics.h - the PHY's pair-scan cable test (-V): each of the four pairs is tested in
// turn and reported with its status and the distance to a fault or the failure byte.
#pragma once

#include "driver/driver.h"
#include "platform/clock.h"

// Runs the cable test on pairs A to D with the PHY forced to 1000 Mb/s slave, then puts PHY
// registers 0 and 9 back. A link that is up is first taken down, and the driver's link state is
// left down. Returns whether the last PHY access before the restore succeeded; every outcome is
// printed, so callers need not act on it.
bool RunCableDiagnostics(Driver& driver, Clock& clock);
