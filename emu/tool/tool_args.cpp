// tool_args.cpp - parsing the options and numbers of the tool's commands.
#include "tool_args.h"

#include <cerrno>
#include <cstdlib>

namespace tool {

ToolArgs::ToolArgs(const std::vector<std::string>& words, const std::vector<OptionSpec>& options) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.rfind("--", 0) != 0 || word == "--") {
      positional_.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::string value;
    bool inline_value = false;
    const size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      inline_value = true;
    }
    const OptionSpec* known = nullptr;
    for (const OptionSpec& candidate : options) {
      if (name == candidate.name) known = &candidate;
    }
    if (known == nullptr) {
      Fail("unknown option --" + name);
      return;
    }
    if (known->takes_value && !inline_value) {
      if (i + 1 >= words.size()) {
        Fail("option --" + name + " needs a value");
        return;
      }
      value = words[++i];
    } else if (!known->takes_value && inline_value) {
      Fail("option --" + name + " takes no value");
      return;
    }
    if (values_.count(name) != 0) {
      Fail("option --" + name + " given twice");
      return;
    }
    values_[name] = value;
  }
}

const std::string& ToolArgs::Value(const std::string& name) const {
  static const std::string kEmpty;
  const auto found = values_.find(name);
  return found == values_.end() ? kEmpty : found->second;
}

bool ToolArgs::Adapter(uint32_t* index) {
  *index = 0;
  if (!Has("adapter")) return true;
  if (ParseU32(Value("adapter"), index)) return true;
  Fail("bad adapter number \"" + Value("adapter") + "\"");
  return false;
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t* value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                            std::string::npos) {
    return false;
  }
  errno = 0;
  const unsigned long long parsed = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno != 0 || parsed > limit) return false;
  *value = parsed;
  return true;
}

bool ParseU32(const std::string& text, uint32_t* value) {
  uint64_t parsed = 0;
  if (!ParseNumber(text, 0xFFFFFFFFull, &parsed)) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

}  // namespace tool
