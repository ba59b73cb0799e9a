// usage.h - the usage text.
#pragma once

#include "platform/console.h"

void PrintUsage(const char* program_name, Console& console);
