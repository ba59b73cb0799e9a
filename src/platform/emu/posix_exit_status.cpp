// posix_exit_status.cpp - a POSIX parent sees the low eight bits of the exit code.
#include "platform/exit_status.h"

int ExitStatusSeenByCaller(int exit_code) { return exit_code & 0xFF; }
