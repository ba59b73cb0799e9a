// parse_helper.h - running the command-line parser on a list of words.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/command_parser.h"
#include "support/capture_console.h"

struct Parsed {
  int result = 0;
  std::string output;
  std::string diagnostics;  // the hints on standard error
  std::unique_ptr<CommandOptions> options = std::make_unique<CommandOptions>();
  RequestWords words;
};

inline Parsed Parse(std::vector<std::string> words) {
  words.insert(words.begin(), "5200WinCmd");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  Parsed parsed;
  CaptureConsole console;
  ParseTarget target{*parsed.options, parsed.words, console};
  parsed.result = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), target);
  parsed.output = console.output();
  parsed.diagnostics = console.TakeDiagnostics();
  return parsed;
}
