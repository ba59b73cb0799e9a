// error_console.cpp - writing to standard error.
#include "tools/record/error_console.h"

#include <cstdio>

void ErrorConsole::Write(const char* data, size_t length) { std::fwrite(data, 1, length, stderr); }
