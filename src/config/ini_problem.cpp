// ini_problem.cpp - the hint texts of the INI file's faults.
#include "config/ini_problem.h"

#include <utility>

#include "config/ini_section.h"

std::string DescribeIniProblem(const std::string& file_name, const IniProblem& problem) {
  std::string text = file_name + ":";
  if (problem.line > 0) text += std::to_string(problem.line) + ":";
  const std::string& key = problem.key;
  const std::string& section = problem.section;
  switch (problem.fault) {
    case IniFault::kBadValue:
      return text + " the value of " + key + " in " + section + " is refused";
    case IniFault::kValueAbove:
      return text + " the value of " + key + " in " + section + " is out of range";
    case IniFault::kMissingKey:
      return text + " " + section + " has no " + key;
    case IniFault::kSectionRefused:
      return text + " " + section + " is refused: a key is missing or out of range";
    case IniFault::kUnknownSection:
      return text + " " + section + " is not a known section; its lines were skipped" +
             (problem.detail.empty() ? "" : " (the section is spelt " + problem.detail + ")");
    case IniFault::kBlankedHeader:
      return text + " " + section +
             " is not read as a section header, as blanks follow its \"]\"; its lines were "
             "skipped";
    case IniFault::kMissingSection:
      return text + " the file has no " + section + " section";
    case IniFault::kConflict:
      return text + " " + key + (section.empty() ? "" : " in " + section) + " " + problem.detail;
  }
  return text;
}

IniProblem IniConflict(const IniState& state, const char* key, std::string detail) {
  IniProblem problem{.fault = IniFault::kConflict, .key = key, .detail = std::move(detail)};
  if (const auto place = state.key_places.find(key); place != state.key_places.end()) {
    problem.line = place->second.line;
    problem.section = place->second.section;
  }
  return problem;
}

std::vector<IniProblem> MissingIniSections(const IniState& state) {
  std::vector<IniProblem> missing;
  for (const IniSectionEntry& section : IniSectionTable()) {
    if (section.present != nullptr && !(state.*section.present)) {
      missing.push_back({.fault = IniFault::kMissingSection, .section = section.name});
    }
  }
  return missing;
}
