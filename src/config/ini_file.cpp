// ini_file.cpp - the walk over the INI file's lines.
#include "config/ini_file.h"

#include <algorithm>

IniFile::IniFile(const char* bytes, size_t size, const char* file_name, Console& console,
                 std::vector<IniProblem>& problems, IniKeyPlaces& key_places)
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

// Counted from the text when asked, going on from the last count, so that the lines of a whole
// file are counted once: the reader skips the lines a comment takes and would otherwise have to
// count them itself. The position never goes back: a line given again keeps the position it was
// read at.
int IniFile::line_number() {
  const char* start = source_.bytes;
  const int64_t position = info_.position;
  counted_lines_ += static_cast<int>(std::count(start + counted_position_, start + position, '\n'));
  counted_position_ = position;
  return counted_lines_;
}

void IniFile::OpenSection(const char* header) {
  section_ = header;
  section_line_ = line_number();
}

void IniFile::NoteBlankedHeader() {
  size_t end = length();
  while (end > 0 && (line_[end - 1] == ' ' || line_[end - 1] == '\t')) --end;
  size_t first = 0;
  if (end == length() || !IsIniHeader(line_, end, &first)) return;
  problems_.push_back({.fault = IniFault::kBlankedHeader,
                       .line = line_number(),
                       .section = std::string(line_ + first, end - first)});
}

void IniFile::NoteKey(const char* key) {
  auto place = key_places_.find(key);
  if (place == key_places_.end()) place = key_places_.emplace(key, IniKeyPlace{}).first;
  place->second.line = line_number();
  place->second.section = section_;
}

// A value above its range stood where its key was last given: in this section, or in an earlier
// one of the same name whose key states still count.
void IniFile::Report(IniFault fault, const char* key) {
  int line = section_line_;
  if (fault == IniFault::kBadValue) line = line_number();
  if (fault == IniFault::kValueAbove) {
    const auto place = key_places_.find(key);
    line = place != key_places_.end() ? place->second.line : 0;
  }
  problems_.push_back({.fault = fault, .line = line, .section = section_, .key = key});
}
