// state_file.cpp - writing and reading the adapter state file.
#include "emu/state_file.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>

#include "emu/atomic_file.h"
#include "emu/emu_clock.h"
#include "emu/fault_plan.h"
#include "emu/link_model.h"
#include "emu/memory_runs.h"
#include "emu/network_lines.h"
#include "emu/phy_model.h"
#include "emu/request_handler.h"
#include "emu/state_checks.h"
#include "emu/text_codec.h"

namespace emu {
namespace {

constexpr size_t kBytesPerLine = 32;

std::string Hex(uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*" PRIx64, digits, value);
  return text;
}

constexpr char kHexDigits[] = "0123456789abcdef";

// "<key> 0x<offset> <hex bytes>" lines; with |skip_blank|, lines of zero bytes are left out.
// Written digit by digit: these lines are most of the file, and every run reads and writes it.
void FormatBytes(std::ostringstream& out, const char* key, const uint8_t* bytes, size_t size,
                 bool skip_blank) {
  std::string line;
  for (size_t offset = 0; offset < size; offset += kBytesPerLine) {
    const size_t count = std::min(kBytesPerLine, size - offset);
    if (skip_blank &&
        std::all_of(bytes + offset, bytes + offset + count, [](uint8_t b) { return b == 0; })) {
      continue;
    }
    line.assign(key).append(" ").append(Hex(offset, 3));
    for (size_t i = 0; i < count; ++i) {
      const uint8_t byte = bytes[offset + i];
      line += ' ';
      line += kHexDigits[byte >> 4];
      line += kHexDigits[byte & 0xF];
    }
    line += '\n';
    out << line;
  }
}

bool ParseUnsigned(const std::string& text, uint64_t limit, uint64_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || errno != 0 || parsed > limit) return false;
  *value = parsed;
  return true;
}

// A number up to |limit|, by default the largest value of the field's type.
template <typename T>
bool ParseField(const std::string& text, T* value,
                uint64_t limit = static_cast<uint64_t>(static_cast<T>(~T{0}))) {
  uint64_t parsed = 0;
  if (!ParseUnsigned(text, limit, &parsed)) return false;
  *value = static_cast<T>(parsed);
  return true;
}

bool ParseFlag(const std::string& text, bool* value) {
  if (text != "0" && text != "1") return false;
  *value = text == "1";
  return true;
}

// The offset, then the bytes in hex: a word per byte, or runs of bytes in one word.
bool ParseBytes(const std::vector<std::string>& words, uint8_t* bytes, size_t size) {
  uint64_t offset = 0;
  if (words.size() < 2 || !ParseUnsigned(words[0], size, &offset)) return false;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty() || word.size() % 2 != 0 || word.size() / 2 > size - offset ||
        !DecodeHexPairs(word.data(), word.size(), bytes + offset)) {
      return false;
    }
    offset += word.size() / 2;
  }
  return true;
}

const char* OtpAccessName(OtpAccess access) {
  switch (access) {
    case OtpAccess::kRead:
      return "read";
    case OtpAccess::kWrite:
      return "write";
    case OtpAccess::kClosed:
      break;
  }
  return "closed";
}

using Words = std::vector<std::string>;
using FieldParser = std::function<bool(const Words&, const std::string& rest, AdapterState&)>;

// An index and a value no wider than that PHY register, into |registers|.
template <typename Registers>
bool ParsePhyEntry(const Words& w, Registers* registers) {
  uint32_t index = 0;
  uint32_t value = 0;
  if (!ParseField(w[0], &index) ||
      !ParseField(w[1], &value, PhyIndexIsWide(index) ? 0xFFFFFFFF : 0xFFFF)) {
    return false;
  }
  (*registers)[index] = value;
  return true;
}

struct FieldRule {
  const char* key;
  size_t words;  // words after the key; 0 = any number (the parser checks)
  FieldParser parse;
};

bool ParseText(const std::string& rest, std::string* text) { return UnquoteText(rest, text); }

const std::vector<FieldRule>& FieldRules() {
  static const std::vector<FieldRule> rules = {
      {"index", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseField(w[0], &s.index); }},
      {"chip", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseField(w[0], &s.id_value); }},
      {"eeprom_size", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return (w[0] == "256" || w[0] == "512") && ParseField(w[0], &s.eeprom_size);
       }},
      {"clock", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseClockMode(w[0].c_str(), &s.clock);
       }},
      {"time_ms", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseTimeMs(w[0], &s.time_ms); }},
      {"driver_version", 4,
       [](const Words& w, auto&, AdapterState& s) {
         for (size_t i = 0; i < 4; ++i) {
           if (!ParseField(w[i], &s.driver_version[i])) return false;
         }
         return true;
       }},
      {"adapter_bits", 3,
       [](const Words& w, auto&, AdapterState& s) {
         for (size_t i = 0; i < 3; ++i) {
           if (!ParseField(w[i], &s.adapter_bits[i])) return false;
         }
         return true;
       }},
      {"port", 1, [](const Words& w, auto&, AdapterState& s) { return ParseField(w[0], &s.port); }},
      {"location", 0,
       [](const Words&, const std::string& r, AdapterState& s) {
         return ParseText(r, &s.location);
       }},
      {"registry_key", 0,
       [](const Words&, const std::string& r, AdapterState& s) {
         return ParseText(r, &s.registry_key);
       }},
      {"pdo_name", 0,
       [](const Words&, const std::string& r, AdapterState& s) {
         return ParseText(r, &s.pdo_name);
       }},
      {"link_partner", 0,
       [](const Words&, const std::string& r, AdapterState& s) {
         return ParsePartner(r, &s.link.partner);
       }},
      {"link_delay_ms", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseField(w[0], &s.link.delay_ms); }},
      {"link_mode_reply", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseField(w[0], &s.link.mode_reply); }},
      {"link_mode_policy", 1,
       [](const Words& w, auto&, AdapterState& s) {
         if (w[0] != "advertise" && w[0] != "force") return false;
         s.link.policy = w[0] == "force" ? LinkModePolicy::kForce : LinkModePolicy::kAdvertise;
         return true;
       }},
      {"link_admin_up", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseFlag(w[0], &s.link_runtime.admin_up);
       }},
      {"link_started_ms", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseTimeMs(w[0], &s.link_runtime.started_ms);
       }},
      {"link_was_up", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseFlag(w[0], &s.link_runtime.was_up);
       }},
      {"link_latched_low", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseFlag(w[0], &s.link_runtime.latched_low);
       }},
      {"link_advertise", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.link_runtime.advertise);
       }},
      {"link_gig_control", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.link_runtime.gig_control);
       }},
      {"e2p_open", 1,
       [](const Words& w, auto&, AdapterState& s) { return ParseFlag(w[0], &s.e2p_open); }},
      {"otp_access", 1,
       [](const Words& w, auto&, AdapterState& s) {
         for (OtpAccess access : {OtpAccess::kClosed, OtpAccess::kRead, OtpAccess::kWrite}) {
           if (w[0] == OtpAccessName(access)) {
             s.otp_access = access;
             return true;
           }
         }
         return false;
       }},
      {"cable_register", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.cable_register, 0xFFFF);
       }},
      {"cable_started_ms", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseTimeMs(w[0], &s.cable_started_ms);
       }},
      {"cable", 0,
       [](const Words& w, auto&, AdapterState& s) {
         uint64_t pair = 0;
         CableResult result{.set = true};
         if (w.size() < 3 || w.size() > 5 || !ParseUnsigned(w[0], 3, &pair) ||
             !ParseField(w[1], &result.status) || result.status > 3 ||
             !ParseField(w[2], &result.data)) {
           return false;
         }
         // Then "stuck" and "busy=POLLS", each optional.
         for (size_t i = 3; i < w.size(); ++i) {
           if (w[i] == "stuck") {
             result.stuck = true;
           } else if (w[i].rfind("busy=", 0) != 0 ||
                      !ParseField(w[i].substr(5), &result.busy_polls)) {
             return false;
           }
         }
         s.cable[pair] = result;
         return true;
       }},
      {"cable_polls_left", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.cable_polls_left);
       }},
      {"mcu_control", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.mcu.control, 0xFF);
       }},
      {"mcu_address", 1,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseField(w[0], &s.mcu.address, 0xFFFF);
       }},
      {"fault", 0,
       [](const Words&, const std::string& r, AdapterState& s) {
         Fault fault;
         if (!ParseFault(r, &fault)) return false;
         s.faults.push_back(fault);
         return true;
       }},
      {"stat", 2,
       [](const Words& w, auto&, AdapterState& s) {
         uint64_t index = 0;
         return ParseUnsigned(w[0], kStatCount - 1, &index) && ParseField(w[1], &s.stats[index]);
       }},
      {"register", 2,
       [](const Words& w, auto&, AdapterState& s) {
         uint32_t address = 0;
         uint32_t value = 0;
         // Register 0 is the chip field.
         if (!ParseField(w[0], &address) || !ParseField(w[1], &value) ||
             !RegisterAddressValid(address) || address == 0) {
           return false;
         }
         s.registers[address] = value;
         return true;
       }},
      {"phy", 2, [](const Words& w, auto&, AdapterState& s) { return ParsePhyEntry(w, &s.phy); }},
      {"phy_pin", 2,
       [](const Words& w, auto&, AdapterState& s) { return ParsePhyEntry(w, &s.phy_pins); }},
      {"pcie_phy", 2,
       [](const Words& w, auto&, AdapterState& s) {
         uint32_t address = 0;
         uint16_t value = 0;
         if (!ParseField(w[0], &address, 0xFFFF) || !ParseField(w[1], &value)) return false;
         s.pcie_phy[address] = value;
         return true;
       }},
      {"eeprom", 0,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseBytes(w, s.eeprom.data(), s.eeprom.size());
       }},
      {"otp", 0,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseBytes(w, s.otp.data(), s.otp.size());
       }},
      {"pci_config", 0,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseBytes(w, s.pci_config.data(), s.pci_config.size());
       }},
      {"mcu_xdata", 0,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseBytes(w, s.mcu.Xdata().data(), s.mcu.Xdata().size());
       }},
      {"mcu_sfr", 0,
       [](const Words& w, auto&, AdapterState& s) {
         return ParseBytes(w, s.mcu.sfr.data(), s.mcu.sfr.size());
       }},
  };
  return rules;
}

}  // namespace

std::string FormatAdapterState(const AdapterState& s) {
  std::ostringstream out;
  out << kStateHeader << '\n';
  out << "index " << s.index << '\n';
  out << "chip " << Hex(s.id_value, 8) << '\n';
  out << "eeprom_size " << s.eeprom_size << '\n';
  out << "clock " << ClockModeName(s.clock) << '\n';
  out << "time_ms " << s.time_ms << '\n';
  out << "driver_version " << s.driver_version[0] << ' ' << s.driver_version[1] << ' '
      << s.driver_version[2] << ' ' << s.driver_version[3] << '\n';
  out << "adapter_bits " << Hex(s.adapter_bits[0], 8) << ' ' << Hex(s.adapter_bits[1], 8) << ' '
      << Hex(s.adapter_bits[2], 8) << '\n';
  out << "port " << s.port << '\n';
  out << "location " << QuoteText(s.location) << '\n';
  out << "registry_key " << QuoteText(s.registry_key) << '\n';
  out << "pdo_name " << QuoteText(s.pdo_name) << '\n';
  out << "link_partner " << FormatPartner(s.link.partner) << '\n';
  out << "link_delay_ms " << s.link.delay_ms << '\n';
  out << "link_mode_reply " << unsigned{s.link.mode_reply} << '\n';
  out << "link_mode_policy " << (s.link.policy == LinkModePolicy::kForce ? "force" : "advertise")
      << '\n';
  const LinkRuntime& link = s.link_runtime;
  out << "link_admin_up " << link.admin_up << '\n';
  out << "link_started_ms " << link.started_ms << '\n';
  out << "link_was_up " << link.was_up << '\n';
  out << "link_latched_low " << link.latched_low << '\n';
  out << "link_advertise " << Hex(link.advertise, 4) << '\n';
  out << "link_gig_control " << Hex(link.gig_control, 4) << '\n';
  out << "e2p_open " << s.e2p_open << '\n';
  out << "otp_access " << OtpAccessName(s.otp_access) << '\n';
  out << "cable_register " << Hex(s.cable_register, 4) << '\n';
  out << "cable_started_ms " << s.cable_started_ms << '\n';
  for (size_t pair = 0; pair < s.cable.size(); ++pair) {
    const CableResult& result = s.cable[pair];
    if (!result.set) continue;
    out << "cable " << pair << ' ' << unsigned{result.status} << ' ' << unsigned{result.data}
        << (result.stuck ? " stuck" : "");
    if (result.busy_polls != 0) out << " busy=" << result.busy_polls;
    out << '\n';
  }
  if (s.cable_polls_left != 0) out << "cable_polls_left " << s.cable_polls_left << '\n';
  out << "mcu_control " << Hex(s.mcu.control, 2) << '\n';
  out << "mcu_address " << Hex(s.mcu.address, 4) << '\n';
  for (const Fault& fault : s.faults) out << "fault " << FormatFault(fault) << '\n';
  for (size_t i = 0; i < s.stats.size(); ++i) {
    if (s.stats[i] != 0) out << "stat " << i << ' ' << Hex(s.stats[i], 8) << '\n';
  }
  for (const auto& [address, value] : s.registers) {
    out << "register " << Hex(address, 8) << ' ' << Hex(value, 8) << '\n';
  }
  for (const auto& [index, value] : s.phy) {
    out << "phy " << Hex(index, 8) << ' ' << Hex(value, 4) << '\n';
  }
  for (const auto& [index, value] : s.phy_pins) {
    out << "phy_pin " << Hex(index, 8) << ' ' << Hex(value, 4) << '\n';
  }
  for (const auto& [address, value] : s.pcie_phy) {
    out << "pcie_phy " << Hex(address, 4) << ' ' << Hex(value, 4) << '\n';
  }
  FormatBytes(out, "pci_config", s.pci_config.data(), s.pci_config.size(), true);
  if (!s.mcu.xdata.empty()) FormatRuns(out, "mcu_xdata", s.mcu.xdata.data(), s.mcu.xdata.size());
  FormatRuns(out, "mcu_sfr", s.mcu.sfr.data(), s.mcu.sfr.size());
  out << FormatNetworkLines(s.network);
  // The whole memories come last: a file cut short anywhere lacks some of their bytes.
  FormatBytes(out, "eeprom", s.eeprom.data(), s.eeprom.size(), false);
  FormatBytes(out, "otp", s.otp.data(), s.otp.size(), false);
  return out.str();
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
  while (std::getline(lines, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    const std::string key = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    // Words end at blanks and tabs. A firmware's memory lines are thousands of digits: without a
    // tab in the line, the search is for blanks alone, which is much faster than for either.
    const bool tabs = rest.find('\t') != std::string::npos;
    Words words;
    for (size_t start = 0; start < rest.size();) {
      const size_t end =
          std::min(tabs ? rest.find_first_of(" \t", start) : rest.find(' ', start), rest.size());
      if (end > start) words.emplace_back(rest, start, end - start);
      start = end + 1;
    }
    const LineResult network = ParseNetworkLine(key, rest, &parsed.network);
    if (network == LineResult::kBad) return fail("bad value for \"" + key + "\"");
    if (network == LineResult::kParsed) continue;
    const FieldRule* rule = nullptr;
    for (const FieldRule& candidate : FieldRules()) {
      if (key == candidate.key) {
        rule = &candidate;
        break;
      }
    }
    if (rule == nullptr) return fail("unknown field \"" + key + "\"");
    if ((rule->words != 0 && words.size() != rule->words) || !rule->parse(words, rest, parsed)) {
      return fail("bad value for \"" + key + "\"");
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
    uint32_t index = 0;
    if (digits.find_first_not_of("0123456789") != std::string::npos ||
        (digits.size() > 1 && digits[0] == '0') || !ParseField(digits, &index)) {
      continue;
    }
    indices.push_back(index);
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
