// after_banner.h - the output of a whole run without the banner the program prints first, and
// without the lines that name what a write did, for the tests that hold the lines around them.
#pragma once

#include <algorithm>
#include <string>

// The output after the banner's title, build and two blank lines.
inline std::string AfterBanner(const std::string& output) {
  size_t position = 0;
  for (int line = 0; line < 5 && position != std::string::npos; ++line) {
    position = output.find('\n', position) + 1;
  }
  return output.substr(position);
}

// |text| without the lines that name what a write put on the board or will burn into its OTP:
// the memory's own messages, which these tests hold, are the ones around them.
inline std::string WithoutWriteSummary(const std::string& text) {
  std::string kept;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    const std::string line = text.substr(start, end - start);
    if (!line.starts_with("Programmed: ") && !line.starts_with("To be burned: ")) kept += line;
    start = end;
  }
  return kept;
}
