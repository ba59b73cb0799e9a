// ini_loader.cpp - the walk over the INI file: find each section header, hand the section to
// its handler, stop at the first failing section.
#include "config/ini_loader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "config/ini_file.h"
#include "config/ini_section.h"
#include "platform/user_file.h"

namespace {

// The table entry whose name is the whole text from the "[" to the end of the line, or null.
// Compared by stored length, so a NUL byte read from the file cannot shorten the header.
const IniSectionEntry* FindSection(const char* text, size_t length) {
  for (const IniSectionEntry& entry : IniSectionTable()) {
    if (std::strlen(entry.name) == length && std::memcmp(entry.name, text, length) == 0) {
      return &entry;
    }
  }
  return nullptr;
}

// The table entry that |header| names in other letter cases or with blanks inside its brackets.
const IniSectionEntry* FindSectionSpeltOtherwise(const std::string& header) {
  std::string plain;
  for (const char c : header) {
    if (c != ' ' && c != '\t')
      plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const IniSectionEntry& entry : IniSectionTable()) {
    std::string name;
    for (const char* c = entry.name; *c != '\0'; ++c) {
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    if (name == plain) return &entry;
  }
  return nullptr;
}

int WalkSections(IniFile& file, IniSectionContext& context) {
  for (;;) {
    size_t first = 0;
    bool header = false;
    while (!header) {
      const IniLineEnd end = file.NextLine();
      if (end == IniLineEnd::kReadError) return -1;
      header = IsIniHeader(file.line(), file.length(), &first);
      if (!header) file.NoteBlankedHeader();
      // A header on the last line, with no line end after it, opens nothing.
      if (end == IniLineEnd::kEndOfFile) return 0;
    }
    const std::string name(file.line() + first, file.length() - first);
    file.OpenSection(name.c_str());
    const IniSectionEntry* entry = FindSection(file.line() + first, file.length() - first);
    if (entry == nullptr) {  // an unknown section: its lines are skipped by the search
      file.Report(IniFault::kUnknownSection);
      if (const IniSectionEntry* meant = FindSectionSpeltOtherwise(name)) {
        context.state.problems.back().detail = meant->name;
      }
      continue;
    }
    const size_t reported = file.problem_count();
    if (entry->handler(context, *entry) >= 0) continue;
    // A check the handler made on its own says only the section's header line.
    if (file.problem_count() == reported) file.Report(IniFault::kSectionRefused);
    return -1;
  }
}

}  // namespace

int LoadIniFile(const char* file_name, DeviceSettings& settings, IniState& state,
                Console& console) {
  std::string text;
  std::string reason;
  if (!ReadWholeUserFile(file_name, kMaxIniFileBytes, &text, &reason)) {
    console.Printf("The file %s is not found\n", file_name);
    console.Diagnostic("%s: %s\n", file_name, reason.c_str());
    state.file_name = file_name;
    state.unread_reason = reason;
    return -1;
  }
  return LoadIniText(file_name, text.data(), text.size(), settings, state, console);
}

bool HoldsIniSection(std::string_view text, std::string_view header) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    line = line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
    if (std::equal(line.begin(), line.end(), header.begin(), header.end(), same)) return true;
  }
  return false;
}

int LoadIniText(const char* name, const char* text, size_t size, DeviceSettings& settings,
                IniState& state, Console& console) {
  state.file_name = name;
  IniFile file(text, size, name, console, state.problems, state.key_places);
  IniSectionContext context{.file = file, .settings = settings, .state = state, .console = console};
  return WalkSections(file, context);
}
