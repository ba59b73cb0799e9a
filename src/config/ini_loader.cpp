// ini_loader.cpp - the walk over the INI file: find each section header, hand the section to
// its handler, stop at the first failing section.
#include "config/ini_loader.h"

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

int WalkSections(IniFile& file, IniSectionContext& context) {
  for (;;) {
    size_t first = 0;
    bool header = false;
    while (!header) {
      const IniLineEnd end = file.NextLine();
      if (end == IniLineEnd::kReadError) return -1;
      header = IsIniHeader(file.line(), file.length(), &first);
      // A header on the last line, with no line end after it, opens nothing.
      if (end == IniLineEnd::kEndOfFile) return 0;
    }
    const std::string name(file.line() + first, file.length() - first);
    file.OpenSection(name.c_str());
    const IniSectionEntry* entry = FindSection(file.line() + first, file.length() - first);
    if (entry == nullptr) {  // an unknown section: its lines are skipped by the search
      file.Report(IniFault::kUnknownSection);
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
  if (!ReadWholeUserFile(file_name, kMaxIniFileBytes, &text)) {
    console.Printf("The file %s is not found\n", file_name);
    return -1;
  }
  return LoadIniText(file_name, text.data(), text.size(), settings, state, console);
}

int LoadIniText(const char* name, const char* text, size_t size, DeviceSettings& settings,
                IniState& state, Console& console) {
  state.file_name = name;
  IniFile file(text, size, name, console, state.problems, state.key_places);
  IniSectionContext context{.file = file, .settings = settings, .state = state, .console = console};
  return WalkSections(file, context);
}
