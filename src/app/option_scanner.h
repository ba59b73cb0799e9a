// option_scanner.h - walking argv one option at a time. Every option can carry one argument.
// -X and its adapter index are taken here; -X still reaches the parser, which rejects it, when
// no number follows it or when nothing but non-option arguments come after its number.
#pragma once

#include <cstdint>

#include "platform/console.h"

// Returns the next option letter. Once the arguments are used up it returns the last letter seen
// in this call (so a trailing "-X <n>" gives 'X'), or 0 when it saw none. |*position| starts at 1
// and moves past what was read; |*argument| gets the option's argument or null; -X <n> stores n
// in |*adapter_index| ("%d" rules: a text that is no number leaves it unchanged).
int OptionScanner(int argc, char** argv, int* position, const char** argument,
                  int32_t* adapter_index, Console& console);
