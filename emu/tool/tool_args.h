// tool_args.h - the command line of one tool command: its options (with or without a value) and
// its positional words, checked against the options the command takes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tool {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the adapter or its state could not be used
constexpr int kExitUsage = 2;   // bad command line

struct OptionSpec {
  const char* name;  // without the leading "--"
  bool takes_value;
};

class ToolArgs {
 public:
  // Parses |words| (after the command name) against |options|; on failure |error()| says why.
  ToolArgs(const std::vector<std::string>& words, const std::vector<OptionSpec>& options);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  const std::string& Value(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }

  // The adapter of --adapter, 0 by default; false (with error()) when the value is not a number.
  bool Adapter(uint32_t* index);
  void Fail(const std::string& why) {
    if (error_.empty()) error_ = why;
  }

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
  std::string error_;
};

// A decimal number, or hexadecimal after "0x"; false on anything else or above |limit|.
bool ParseNumber(const std::string& text, uint64_t limit, uint64_t* value);
bool ParseU32(const std::string& text, uint32_t* value);

}  // namespace tool
