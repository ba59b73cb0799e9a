// fault_plan.cpp - counting requests against planned faults.
#include "emu/fault_plan.h"

#include <cstdlib>
#include <sstream>

namespace emu {
namespace {

bool ParseNumber(const std::string& text, uint32_t* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || text[0] == '-' || parsed > 0xFFFFFFFFull) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

}  // namespace

bool TakeFault(std::vector<Fault>& faults, uint32_t command, Fault* hit) {
  for (auto fault = faults.begin(); fault != faults.end(); ++fault) {
    if (fault->command != command) continue;
    if (fault->skip > 0) {
      --fault->skip;
      return false;
    }
    *hit = *fault;
    if (fault->count > 0 && --fault->count == 0) faults.erase(fault);
    return true;
  }
  return false;
}

std::string FormatFault(const Fault& fault) {
  std::string text =
      "cmd=" + std::to_string(fault.command) + " skip=" + std::to_string(fault.skip) +
      " count=" + (fault.count < 0 ? std::string("always") : std::to_string(fault.count));
  text += fault.kind == FaultKind::kStatus  ? " status="
          : fault.kind == FaultKind::kError ? " error="
                                            : " kill=";
  return text + std::to_string(fault.value);
}

bool ParseFault(const std::string& text, Fault* fault) {
  Fault parsed;
  bool have_command = false;
  bool have_answer = false;
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    uint32_t number = 0;
    if (key == "count" && value == "always") {
      parsed.count = -1;
      continue;
    }
    if (!ParseNumber(value, &number)) return false;
    if (key == "cmd") {
      parsed.command = number;
      have_command = true;
    } else if (key == "skip") {
      parsed.skip = number;
    } else if (key == "count") {
      if (number == 0) return false;
      parsed.count = number;
    } else if (key == "status" || key == "error" || key == "kill") {
      parsed.kind = key == "status"  ? FaultKind::kStatus
                    : key == "error" ? FaultKind::kError
                                     : FaultKind::kKill;
      parsed.value = number;
      have_answer = true;
    } else {
      return false;
    }
  }
  if (!have_command || !have_answer) return false;
  *fault = parsed;
  return true;
}

}  // namespace emu
