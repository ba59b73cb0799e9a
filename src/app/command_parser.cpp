// command_parser.cpp - the parser loop: scan an option, set the request words, act on it.
#include "app/command_parser.h"

#include <string>

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

// -G and -k end the command line where they stand; what a user put after them is named, since it
// is otherwise dropped without a word (a -a there writes no document).
void NameIgnoredWords(int argc, char** argv, int position, int letter, Console& console) {
  if (position >= argc) return;
  std::string ignored;
  for (int i = position; i < argc; ++i) ignored.append(" ").append(argv[i]);
  console.Diagnostic("-%c ends the command line; ignored after it:%s (put options before -%c)\n",
                     letter, ignored.c_str(), letter);
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
    if (step.has_value()) {
      if (*step == 0) NameIgnoredWords(argc, argv, position, letter, target.console);
      return *step;
    }
  }
  return RunFinalChecks(context);
}
