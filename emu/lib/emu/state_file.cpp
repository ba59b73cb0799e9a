// state_file.cpp - writing and reading the adapter state file by walking its table of keys.
#include "emu/state_file.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "emu/atomic_file.h"
#include "emu/network_lines.h"
#include "emu/state_checks.h"
#include "emu/state_keys.h"

namespace emu {
namespace {

// Words end at blanks and tabs. A firmware's memory lines are thousands of digits: without a tab
// in the line, the search is for blanks alone, which is much faster than for either.
std::vector<std::string> SplitWords(const std::string& rest) {
  const bool tabs = rest.find('\t') != std::string::npos;
  std::vector<std::string> words;
  for (size_t start = 0; start < rest.size();) {
    const size_t end =
        std::min(tabs ? rest.find_first_of(" \t", start) : rest.find(' ', start), rest.size());
    if (end > start) words.emplace_back(rest, start, end - start);
    start = end + 1;
  }
  return words;
}

enum class LineFate { kParsed, kUnknown, kBad };

// Through the row of |key|; the network's row asks network_lines.h, which knows its own keys.
LineFate ParseLine(const std::string& key, const StateLine& line, AdapterState& state) {
  for (const StateKey& row : StateKeys()) {
    if (row.key == nullptr) {
      const LineResult network = ParseNetworkLine(key, line.rest, &state.network);
      if (network == LineResult::kNotNetwork) continue;
      return network == LineResult::kParsed ? LineFate::kParsed : LineFate::kBad;
    }
    if (key != row.key) continue;
    const bool fits = row.words == 0 || line.words.size() == row.words;
    return fits && row.parse(line, state) ? LineFate::kParsed : LineFate::kBad;
  }
  return LineFate::kUnknown;
}

}  // namespace

std::string FormatAdapterState(const AdapterState& state) {
  std::string out = std::string(kStateHeader) + "\n";
  for (const StateKey& row : StateKeys()) row.format(row, state, out);
  return out;
}

bool ParseAdapterState(const std::string& text, AdapterState* state, std::string* error) {
  AdapterState parsed;
  parsed.eeprom.fill(0xFF);
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  const auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  if (!std::getline(lines, line) || line != kStateHeader) {
    number = 1;
    return fail("not a state file of this version (expected \"" + std::string(kStateHeader) +
                "\")");
  }
  number = 1;
  WholeMemories whole;
  for (const StateKey& row : StateKeys()) {
    if (row.whole != 0) whole.Expect(row.key, row.whole);
  }
  while (std::getline(lines, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    const std::string key = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    const std::vector<std::string> words = SplitWords(rest);
    switch (ParseLine(key, {.words = words, .rest = rest}, parsed)) {
      case LineFate::kUnknown:
        return fail("unknown field \"" + key + "\"");
      case LineFate::kBad:
        return fail("bad value for \"" + key + "\"");
      case LineFate::kParsed:
        break;
    }
    whole.Note(key, words);
  }
  std::string missing;
  if (!whole.Complete(&missing)) {
    ++number;
    return fail(missing);
  }
  *state = std::move(parsed);
  return true;
}

std::string AdapterPath(const std::string& directory, uint32_t index) {
  return directory + "/adapter" + std::to_string(index) + ".state";
}

std::vector<uint32_t> ListAdapters(const std::string& directory) {
  std::vector<uint32_t> indices;
  std::error_code failure;
  for (const auto& entry : std::filesystem::directory_iterator(directory, failure)) {
    const std::string name = entry.path().filename().string();
    const std::string prefix = "adapter";
    const std::string suffix = ".state";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    const std::string digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    uint64_t index = 0;
    if (digits.find_first_not_of("0123456789") != std::string::npos ||
        (digits.size() > 1 && digits[0] == '0') || !ParseUnsigned(digits, UINT32_MAX, &index)) {
      continue;
    }
    indices.push_back(static_cast<uint32_t>(index));
  }
  std::sort(indices.begin(), indices.end());
  return indices;
}

uint32_t LoadAdapter(const std::string& directory, uint32_t index, AdapterState* state,
                     std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  const std::string path = AdapterPath(directory, index);
  std::error_code failure;
  if (!std::filesystem::exists(path, failure)) {
    *error = path + ": no such adapter";
    return kErrorFileNotFound;
  }
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    *error = path + ": cannot be read";
    return kErrorAccessDenied;
  }
  std::string why;
  if (!ParseAdapterState(text, state, &why)) {
    *error = path + ": " + why;
    return kErrorAccessDenied;
  }
  state->index = index;
  return 0;
}

bool SaveAdapter(const std::string& directory, const AdapterState& state) {
  return WriteFileAtomically(AdapterPath(directory, state.index), FormatAdapterState(state));
}

bool RemoveAdapter(const std::string& directory, uint32_t index) {
  std::error_code failure;
  return std::filesystem::remove(AdapterPath(directory, index), failure);
}

}  // namespace emu
