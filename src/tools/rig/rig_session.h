// rig_session.h - a rig from its first set to its verdict: the sets one after the other while the
// operator asks for them (--repeat), each set's summary, the verdict and the exit code, and with
// -a one JSON document holding every run's own.
#pragma once

#include "tools/rig/rig_set.h"

// Returns the rig's exit code (see RigExitCode).
int RunRigSession(const RigPlan& plan, bool repeat, bool document, RigServices& services);
