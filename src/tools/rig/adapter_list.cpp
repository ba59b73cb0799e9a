// adapter_list.cpp - reading the rig's list of adapters.
#include "tools/rig/adapter_list.h"

#include <algorithm>
#include <set>

#include "driver/adapter_census.h"

namespace {

// A decimal index below the census limit, digits only.
bool ParseIndex(const std::string& text, uint32_t* index) {
  if (text.empty() || text.size() > 2) return false;
  uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value >= kCensusAdapterLimit) return false;
  *index = value;
  return true;
}

}  // namespace

bool ParseAdapterList(const std::string& text, const std::vector<uint32_t>& served,
                      std::vector<uint32_t>* adapters, std::string* why) {
  if (text == "all") {
    if (served.empty()) {
      *why = "the driver serves no adapter";
      return false;
    }
    *adapters = served;
    return true;
  }
  std::set<uint32_t> named;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const size_t dash = item.find('-');
    uint32_t first = 0;
    uint32_t last = 0;
    const bool ok = dash == std::string::npos
                        ? ParseIndex(item, &first) && ParseIndex(item, &last)
                        : ParseIndex(item.substr(0, dash), &first) &&
                              ParseIndex(item.substr(dash + 1), &last) && first <= last;
    if (!ok) {
      *why = "\"" + item + "\" is no adapter index (0 to " +
             std::to_string(kCensusAdapterLimit - 1) + ") or range of them (2-5)";
      return false;
    }
    for (uint32_t index = first; index <= last; ++index) named.insert(index);
    start = comma + 1;
  }
  adapters->assign(named.begin(), named.end());
  return true;
}
