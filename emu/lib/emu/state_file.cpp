// state_file.cpp - writing and reading the adapter state file by walking its table of keys.
#include "emu/state_file.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <string_view>

#include "emu/atomic_file.h"
#include "emu/network_lines.h"
#include "emu/state_checks.h"
#include "emu/state_keys.h"

namespace emu {
namespace {

// Words end at blanks and tabs.
std::vector<std::string> SplitWords(std::string_view rest) {
  std::vector<std::string> words;
  for (size_t start = 0; start < rest.size();) {
    const size_t end = std::min(rest.find_first_of(" \t", start), rest.size());
    if (end > start) words.emplace_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// The row of |key|, or nullptr. A file holds its keys in the table's order, so the search starts
// at the row of the line before (|*hint|) and a line costs a comparison or two.
const StateKey* FindRow(std::string_view key, size_t* hint) {
  const std::span<const StateKey> rows = StateKeys();
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t at = (*hint + i) % rows.size();
    if (rows[at].key != nullptr && key == rows[at].key) {
      *hint = at;
      return &rows[at];
    }
  }
  return nullptr;
}

enum class LineFate { kParsed, kUnknown, kBad };

// Through the row of |key|; the network's lines, whose keys network_lines.h knows, when no row
// has it.
LineFate ParseLine(std::string_view key, std::string_view rest, size_t* hint, WholeMemories& whole,
                   AdapterState& state) {
  const StateKey* row = FindRow(key, hint);
  if (row == nullptr) {
    const LineResult network =
        ParseNetworkLine(std::string(key), std::string(rest), &state.network);
    if (network == LineResult::kNotNetwork) return LineFate::kUnknown;
    return network == LineResult::kParsed ? LineFate::kParsed : LineFate::kBad;
  }
  if (row->memory) {
    MemoryRange given;
    if (!row->parse({.words = {}, .rest = rest, .given = &given}, state)) return LineFate::kBad;
    whole.Note(key, given.first, given.end);
    return LineFate::kParsed;
  }
  const std::vector<std::string> words = SplitWords(rest);
  const bool fits = row->words == 0 || words.size() == row->words;
  return fits && row->parse({.words = words, .rest = rest}, state) ? LineFate::kParsed
                                                                   : LineFate::kBad;
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
  int number = 0;
  const auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  // Lines end at a line feed; the last one may lack it.
  size_t next = 0;
  const auto next_line = [&](std::string_view* line) {
    if (next >= text.size()) return false;
    const size_t feed = std::min(text.find('\n', next), text.size());
    *line = std::string_view(text).substr(next, feed - next);
    next = feed + 1;
    return true;
  };
  std::string_view line;
  if (!next_line(&line) || line != kStateHeader) {
    number = 1;
    return fail("not a state file of this version (expected \"" + std::string(kStateHeader) +
                "\")");
  }
  number = 1;
  WholeMemories whole;
  for (const StateKey& row : StateKeys()) {
    if (row.whole != 0) whole.Expect(row.key, row.whole);
  }
  size_t hint = 0;
  while (next_line(&line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    const std::string_view key = line.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    switch (ParseLine(key, rest, &hint, whole, parsed)) {
      case LineFate::kUnknown:
        return fail("unknown field \"" + std::string(key) + "\"");
      case LineFate::kBad:
        return fail("bad value for \"" + std::string(key) + "\"");
      case LineFate::kParsed:
        break;
    }
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
