// error_watch_console.cpp - watching the console for the error marker.
#include "app/error_watch_console.h"

#include <string_view>

namespace {

constexpr std::string_view kMarker = "ERROR: ";

}  // namespace

void ErrorWatchConsole::Write(const char* data, size_t length) {
  inner_.Write(data, length);
  if (!first_error_.empty()) return;
  std::string_view text(data, length);
  if (!after_marker_) {
    if (text.substr(0, kMarker.size()) != kMarker) return;
    text.remove_prefix(kMarker.size());
    after_marker_ = true;
    if (text.empty()) return;  // the message comes in the next write
  }
  after_marker_ = false;
  first_error_ = std::string(text.substr(0, text.find_first_of("\r\n")));
}
