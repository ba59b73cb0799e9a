// command_parser.cpp - the parser loop: scan an option, set the request words, act on it.
#include "app/command_parser.h"

#include "app/option_scanner.h"
#include "app/parse_context.h"

namespace {

constexpr int32_t kNoAdapterIndex = -1;

void SetRequestWords(int32_t adapter_index, RequestWords& words) {
  if (adapter_index == kNoAdapterIndex) {
    words.signature = kSignatureDefaultAdapter;
    words.adapter_index = 0;
  } else {
    words.signature = kSignatureIndexedAdapter;
    words.adapter_index = static_cast<uint32_t>(adapter_index);
  }
}

ParseStep RejectLetter(ParseContext& context, int letter) {
  context.console.Error("Invalid parameters:%c\n", letter);
  context.console.Error("Please use -h to display usage\n");
  return kExitBadParameters;
}

}  // namespace

int ParseCommandLine(int argc, char** argv, ParseTarget& target) {
  const char* program_name = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  ParseContext context{target.options, target.console, program_name};

  int32_t adapter_index = kNoAdapterIndex;
  int position = 1;
  const char* argument = nullptr;
  while (const int letter =
             OptionScanner(argc, argv, &position, &argument, &adapter_index, target.console)) {
    SetRequestWords(adapter_index, target.words);
    const OptionHandler handler = FindOptionHandler(letter);
    const ParseStep step =
        handler != nullptr ? handler(context, argument) : RejectLetter(context, letter);
    if (step.has_value()) return *step;
  }
  return RunFinalChecks(context);
}
