// ini_hints.cpp - the INI file's hints on the console's error stream.
#include "app/ini_hints.h"

#include "config/ini_loader.h"
#include "config/ini_problem.h"

namespace {

void PrintHint(const IniState& state, const IniProblem& problem, Console& console) {
  console.Diagnostic("%s\n", DescribeIniProblem(state.file_name, problem).c_str());
}

}  // namespace

void PrintIniLoadHints(const IniState& state, Console& console) {
  for (const IniProblem& problem : state.problems) PrintHint(state, problem, console);
}

void PrintIniSectionHints(const DeviceSettings& settings, const IniState& state, Console& console) {
  if (state.file_name.empty()) return;
  for (const IniProblem& problem : state.problems) {
    if (problem.fault == IniFault::kUnknownSection || problem.fault == IniFault::kBlankedHeader) {
      PrintHint(state, problem, console);
    }
  }
  for (const IniProblem& problem : MissingIniSections(state)) PrintHint(state, problem, console);
  PrintIniConflictHints(settings, state, console);
}

void PrintIniConflictHints(const DeviceSettings& settings, const IniState& state,
                           Console& console) {
  if (state.file_name.empty()) return;
  for (const IniProblem& problem : IniKeyConflicts(settings, state)) {
    PrintHint(state, problem, console);
  }
}
