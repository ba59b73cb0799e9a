// ini_file.cpp - the walk over the INI file's lines.
#include "config/ini_file.h"

#include <algorithm>

IniFile::IniFile(const char* bytes, size_t size, const char* file_name, Console& console,
                 std::vector<IniProblem>& problems, std::map<std::string, IniKeyPlace>& key_places)
    : source_{.file = nullptr, .offset = 0, .bytes = bytes, .size = size},
      file_name_(file_name),
      console_(console),
      problems_(problems),
      key_places_(key_places) {}

IniLineEnd IniFile::NextLine() {
  if (unread_) {
    unread_ = false;
    return end_;
  }
  if (failed()) return end_;
  end_ = ReadIniLine(source_, line_, sizeof line_, info_);
  // A file that cannot be read to its end is reported as one that is not there.
  if (failed()) console_.Printf("The file %s is not found\n", file_name_);
  return end_;
}

// Counted from the text when asked, which is only for a fault: the lines a comment takes are
// skipped by the reader and would otherwise have to be counted there.
int IniFile::line_number() const {
  const char* start = source_.bytes;
  return 1 + static_cast<int>(std::count(start, start + info_.position, '\n'));
}

void IniFile::OpenSection(const char* header) {
  section_ = header;
  section_line_ = line_number();
  key_lines_.clear();
}

void IniFile::NoteKey(const char* key) {
  const int line = line_number();
  key_lines_[key] = line;
  key_places_[key] = {.line = line, .section = section_};
}

void IniFile::Report(IniFault fault, const char* key) {
  int line = section_line_;
  if (fault == IniFault::kBadValue) line = line_number();
  if (fault == IniFault::kValueAbove) line = key_lines_[key];
  problems_.push_back({.fault = fault, .line = line, .section = section_, .key = key});
}
