// ini_file.h - the open INI file as the loader and the section handlers walk it: the current
// line, one line of look-back for the header that ends a section, read failures, and the places
// of the faults found in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_problem.h"

#include "config/user/ini_line.h"
#include "platform/console.h"

class IniFile {
 public:
  // INI text of |size| bytes already in memory, named |file_name| in messages; the places of its
  // faults go to |problems|, those of its keys' values to |key_places|.
  IniFile(const char* bytes, size_t size, const char* file_name, Console& console,
          std::vector<IniProblem>& problems, IniKeyPlaces& key_places);

  // Reads the next line, or gives back the line returned by UnreadLine. A read failure prints
  // its error once and is reported as kReadError from then on.
  IniLineEnd NextLine();
  // The next NextLine gives the current line again, with the same end status.
  void UnreadLine() { unread_ = true; }

  char* line() { return line_; }
  size_t length() const { return info_.length; }
  int64_t position() const { return info_.position; }
  // The last line read ended the file, or the file could not be read.
  bool ended() const { return end_ != IniLineEnd::kComplete; }
  bool failed() const { return end_ == IniLineEnd::kReadError; }

  // The line number, from 1, of the current line.
  int line_number();
  // The current line is the header |header| of the section read from here on.
  void OpenSection(const char* header);
  // |key| of the current section stands on the current line.
  void NoteKey(const char* key);
  // A fault of the current section: a bad value on the current line, a value above its range on
  // the line of |key|'s last value, anything else on the section's header line.
  void Report(IniFault fault, const char* key = "");
  size_t problem_count() const { return problems_.size(); }
  // The current line, which is no header, would be one without the blanks after its "]": it is
  // reported, as a user would not see why its section is missing.
  void NoteBlankedHeader();

 private:
  IniSource source_;
  const char* file_name_;
  Console& console_;
  char line_[kIniLineCapacity] = {};
  IniLine info_;
  IniLineEnd end_ = IniLineEnd::kComplete;
  bool unread_ = false;
  std::vector<IniProblem>& problems_;
  IniKeyPlaces& key_places_;
  std::string section_;
  int section_line_ = 0;
  // The line that starts at |counted_position_|: each count goes on from the last one.
  int64_t counted_position_ = 0;
  int counted_lines_ = 1;
};
