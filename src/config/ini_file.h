// ini_file.h - the open INI file as the loader and the section handlers walk it: the current
// line, one line of look-back for the header that ends a section, and read failures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/user/ini_line.h"
#include "platform/console.h"

class IniFile {
 public:
  // INI text of |size| bytes already in memory, named |file_name| in messages.
  IniFile(const char* bytes, size_t size, const char* file_name, Console& console);

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

 private:
  IniSource source_;
  const char* file_name_;
  Console& console_;
  char line_[kIniLineCapacity] = {};
  IniLine info_;
  IniLineEnd end_ = IniLineEnd::kComplete;
  bool unread_ = false;
};
