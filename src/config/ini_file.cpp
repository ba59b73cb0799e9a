// ini_file.cpp - the walk over the INI file's lines.
#include "config/ini_file.h"

IniFile::IniFile(const char* bytes, size_t size, const char* file_name, Console& console)
    : source_{.file = nullptr, .offset = 0, .bytes = bytes, .size = size},
      file_name_(file_name),
      console_(console) {}

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
