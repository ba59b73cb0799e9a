// after_banner.h - the output of a whole run without the banner the program prints first.
#pragma once

#include <string>

// The output after the banner's title, build and two blank lines.
inline std::string AfterBanner(const std::string& output) {
  size_t position = 0;
  for (int line = 0; line < 5 && position != std::string::npos; ++line) {
    position = output.find('\n', position) + 1;
  }
  return output.substr(position);
}
