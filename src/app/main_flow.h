// main_flow.h - one run of the utility: banner, command line, device, chip, one operation.
#pragma once

#include "platform/platform.h"

// Runs the utility with |argv| on |platform| and returns the process exit code.
int RunMain(int argc, char** argv, Platform& platform);
