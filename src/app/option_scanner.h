// option_scanner.h - walking argv one option at a time. Every option can carry one argument;
// -X and its adapter index are taken here and never reach the parser.
#pragma once

#include <cstdint>

#include "platform/console.h"

// Returns the next option letter, or 0 when the arguments are used up. |*position| starts at 1
// and moves past what was read; |*argument| gets the option's argument or null; -X <n> stores n
// in |*adapter_index| ("%d" rules: a text that is no number leaves it unchanged).
int OptionScanner(int argc, char** argv, int* position, const char** argument,
                  int32_t* adapter_index, Console& console);
