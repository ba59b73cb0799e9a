// win32_exit_status.cpp - Windows hands the whole exit code to the parent, which reads -1 back
// as -1 (a batch file's ERRORLEVEL).
#include "platform/exit_status.h"

int ExitStatusSeenByCaller(int exit_code) { return exit_code; }
