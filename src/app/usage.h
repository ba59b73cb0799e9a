// usage.h - the usage text and the exit codes --help lists.
#pragma once

#include "platform/console.h"

void PrintUsage(const char* program_name, Console& console);
// Each exit code with its meaning, one line each.
void PrintExitCodes(Console& console);
