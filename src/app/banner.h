// banner.h - the title and build lines every run starts with.
#pragma once

#include "platform/console.h"

void PrintBanner(Console& console);
