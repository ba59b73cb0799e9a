// parse_context.h - what the option handlers and the final checks share while parsing.
#pragma once

#include <optional>

#include "app/command_parser.h"

struct ParseContext {
  CommandOptions& options;
  Console& console;
  const char* program_name;
};

// An option handler's verdict: nothing to keep parsing, or the parser's result.
using ParseStep = std::optional<int>;
constexpr ParseStep kKeepParsing = std::nullopt;

using OptionHandler = ParseStep (*)(ParseContext& context, const char* argument);

struct OptionRow {
  char letter;
  OptionHandler handler;
};

// The option table; letters not in it are invalid parameters.
OptionHandler FindOptionHandler(int letter);

// The checks that run once the arguments are used up.
int RunFinalChecks(ParseContext& context);
