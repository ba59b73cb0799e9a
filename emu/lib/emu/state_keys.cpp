// state_keys.cpp - the table of the state file's keys, built from the forms of value and the
// shapes of line its rows share.
#include "emu/state_keys.h"

#include <cinttypes>
#include <cstdio>
#include <tuple>
#include <type_traits>
#include <utility>

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

// Forms of value: each reads a value from its text, Parse(text, &value), and writes it,
// Format(value).

// A number, read in any base up to |Limit| (0: the largest value of the field's type), written
// in decimal or, when |Digits| is not 0, in hexadecimal of at least that many digits.
template <int Digits, uint64_t Limit = 0>
struct Num {
  template <typename T>
  static bool Parse(const std::string& text, T* value) {
    constexpr uint64_t kTypeMax = static_cast<T>(~T{0});
    uint64_t parsed = 0;
    if (!ParseUnsigned(text, Limit != 0 ? Limit : kTypeMax, &parsed)) return false;
    *value = static_cast<T>(parsed);
    return true;
  }
  template <typename T>
  static std::string Format(T value) {
    if constexpr (Digits == 0) return std::to_string(value);
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*" PRIx64, Digits, static_cast<uint64_t>(value));
    return text;
  }
};
using Dec = Num<0>;

template <typename T>
struct Name {
  const char* text;
  T value;
};

// One of |Names|; a value none of them has is written as the first.
template <const auto& Names>
struct Named {
  template <typename T>
  static bool Parse(const std::string& text, T* value) {
    for (const auto& name : Names) {
      if (text == name.text) {
        *value = name.value;
        return true;
      }
    }
    return false;
  }
  template <typename T>
  static std::string Format(T value) {
    for (const auto& name : Names) {
      if (name.value == value) return name.text;
    }
    return Names[0].text;
  }
};

constexpr Name<bool> kFlagNames[] = {{"0", false}, {"1", true}};
constexpr Name<LinkModePolicy> kPolicyNames[] = {{"advertise", LinkModePolicy::kAdvertise},
                                                 {"force", LinkModePolicy::kForce}};
constexpr Name<OtpAccess> kOtpAccessNames[] = {
    {"closed", OtpAccess::kClosed}, {"read", OtpAccess::kRead}, {"write", OtpAccess::kWrite}};
using Flag = Named<kFlagNames>;

// The form that a pair of functions reading and writing a value's text make.
template <auto ParseText, auto FormatText>
struct Via {
  static bool Parse(const std::string& text, auto* value) { return ParseText(text, value); }
  static std::string Format(const auto& value) { return FormatText(value); }
};

bool ParseClock(const std::string& text, ClockMode* mode) {
  return ParseClockMode(text.c_str(), mode);
}
std::string FormatTime(int64_t time_ms) { return std::to_string(time_ms); }
// Written as any number; only the sizes a part comes in are read.
bool ParseEepromSize(const std::string& text, uint32_t* size) {
  return (text == "256" || text == "512") && Dec::Parse(text, size);
}

using Clock = Via<ParseClock, ClockModeName>;
using Time = Via<ParseTimeMs, FormatTime>;
using EepromSize = Via<ParseEepromSize, Dec::Format<uint32_t>>;
using Quoted = Via<UnquoteText, QuoteText>;
using Partner = Via<ParsePartner, FormatPartner>;
using FaultText = Via<ParseFault, FormatFault>;

// Shapes of line: how the lines of a key hold its field, Parse(line, field) and
// Format(key, field, out); kWords is the words a line has, 0 when they vary (Parse checks them).

void PutLine(std::string& out, const char* key, const std::string& value) {
  out.append(key).append(" ").append(value).append("\n");
}

struct Shape {
  static constexpr size_t kWords = 0;
  static constexpr bool kWhole = false;
  static constexpr bool kMemory = false;
};

// A value in the line's one word.
template <typename Form>
struct One : Shape {
  static constexpr size_t kWords = 1;
  static bool Parse(const StateLine& line, auto& value) {
    return Form::Parse(line.words[0], &value);
  }
  static void Format(const char* key, const auto& value, std::string& out) {
    PutLine(out, key, Form::Format(value));
  }
};

// The same, no line when the value is 0.
template <typename Form>
struct OneUnlessZero : One<Form> {
  static void Format(const char* key, const auto& value, std::string& out) {
    if (value != 0) One<Form>::Format(key, value, out);
  }
};

// A value in all the text after the key.
template <typename Form>
struct Rest : One<Form> {
  static constexpr size_t kWords = 0;
  static bool Parse(const StateLine& line, auto& value) {
    return Form::Parse(std::string(line.rest), &value);
  }
};

// A list, a line an element, the element in all the text after the key.
template <typename Form>
struct Each : Shape {
  static bool Parse(const StateLine& line, auto& list) {
    typename std::remove_reference_t<decltype(list)>::value_type element;
    if (!Form::Parse(std::string(line.rest), &element)) return false;
    list.push_back(element);
    return true;
  }
  static void Format(const char* key, const auto& list, std::string& out) {
    for (const auto& element : list) PutLine(out, key, Form::Format(element));
  }
};

// An array in one line, a word an element.
template <typename Form>
struct Words : Shape {
  static bool Parse(const StateLine& line, auto& values) {
    if (line.words.size() != values.size()) return false;
    for (size_t i = 0; i < values.size(); ++i) {
      if (!Form::Parse(line.words[i], &values[i])) return false;
    }
    return true;
  }
  static void Format(const char* key, const auto& values, std::string& out) {
    std::string text = Form::Format(values[0]);
    for (size_t i = 1; i < values.size(); ++i) text.append(" ").append(Form::Format(values[i]));
    PutLine(out, key, text);
  }
};

bool AnyEntry(uint32_t /*index*/, uint32_t /*value*/) { return true; }

// A line an entry, INDEX VALUE: of a map, each entry, one that |Valid|(index, value) lets a file
// hold; of an array, each element that is not 0.
template <typename IndexForm, typename ValueForm, auto Valid = AnyEntry>
struct Entries : Shape {
  static constexpr size_t kWords = 2;
  static bool Parse(const StateLine& line, auto& entries) {
    uint32_t index = 0;
    std::remove_reference_t<decltype(entries[index])> value{};
    if (!IndexForm::Parse(line.words[0], &index) || !ValueForm::Parse(line.words[1], &value) ||
        !Valid(index, value)) {
      return false;
    }
    entries[index] = value;
    return true;
  }
  static void Format(const char* key, const auto& entries, std::string& out) {
    const auto put = [&](auto index, auto value) {
      PutLine(out, key, IndexForm::Format(index) + " " + ValueForm::Format(value));
    };
    if constexpr (requires { entries.begin()->second; }) {
      for (const auto& [index, value] : entries) put(index, value);
    } else {
      for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != 0) put(i, entries[i]);
      }
    }
  }
};

// Register 0 is the chip field.
bool RegisterEntry(uint32_t address, uint32_t /*value*/) {
  return RegisterAddressValid(address) && address != 0;
}
bool PhyEntry(uint32_t index, uint32_t value) { return PhyIndexIsWide(index) || value <= 0xFFFF; }

enum class Layout {
  kLines,  // lines of 32 bytes, those of blank bytes left out
  kRuns,   // the runs of non-blank bytes
  kWhole,  // lines of 32 bytes, all of them, each byte of which a file must give
};

template <Layout Form>
struct Memory : Shape {
  static constexpr bool kWhole = Form == Layout::kWhole;
  static constexpr bool kMemory = true;
  static bool Parse(const StateLine& line, auto& bytes) {
    MemoryRange ignored;
    MemoryRange& given = line.given != nullptr ? *line.given : ignored;
    return ParseMemoryLine(line.rest, bytes.data(), bytes.size(), &given.first, &given.end);
  }
  static void Format(const char* key, const auto& bytes, std::string& out) {
    if (Form == Layout::kRuns) {
      FormatRuns(out, key, bytes.data(), bytes.size());
    } else {
      FormatByteLines(out, key, bytes.data(), bytes.size(), Form == Layout::kLines);
    }
  }
};

// The row of |key| in |LineShape|; |Access| is a lambda that points to the key's field in a state
// (or in a const state).
template <typename LineShape, typename Access>
constexpr StateKey Row(const char* key, Access /*field*/) {
  size_t whole = 0;
  if constexpr (LineShape::kWhole) {
    whole =
        std::tuple_size_v<std::remove_pointer_t<decltype(Access{}(std::declval<AdapterState&>()))>>;
  }
  return {
      key,
      LineShape::kWords,
      whole,
      LineShape::kMemory,
      [](const StateLine& line, AdapterState& s) { return LineShape::Parse(line, *Access{}(s)); },
      [](const StateKey& row, const AdapterState& s, std::string& out) {
        LineShape::Format(row.key, *Access{}(s), out);
      }};
}

// The microcontroller's data memory: made by the first line that gives bytes of it, and written
// only once made.
std::vector<uint8_t>* XdataOf(McuState& mcu) { return &mcu.Xdata(); }
const std::vector<uint8_t>* XdataOf(const McuState& mcu) { return &mcu.xdata; }

// "cable PAIR STATUS DATA [stuck] [busy=POLLS]", a line for each pair whose result is set.
bool ParseCable(const StateLine& line, AdapterState& s) {
  const std::span<const std::string> w = line.words;
  size_t pair = 0;
  CableResult result{.set = true};
  if (w.size() < 3 || w.size() > 5 || !Num<0, 3>::Parse(w[0], &pair) ||
      !Num<0, 3>::Parse(w[1], &result.status) || !Dec::Parse(w[2], &result.data)) {
    return false;
  }
  for (size_t i = 3; i < w.size(); ++i) {
    if (w[i] == "stuck") {
      result.stuck = true;
    } else if (w[i].rfind("busy=", 0) != 0 || !Dec::Parse(w[i].substr(5), &result.busy_polls)) {
      return false;
    }
  }
  s.cable[pair] = result;
  return true;
}

void FormatCable(const StateKey& row, const AdapterState& s, std::string& out) {
  for (size_t pair = 0; pair < s.cable.size(); ++pair) {
    const CableResult& result = s.cable[pair];
    if (!result.set) continue;
    std::string text = Dec::Format(pair) + " " + Dec::Format(result.status) + " " +
                       Dec::Format(result.data) + (result.stuck ? " stuck" : "");
    if (result.busy_polls != 0) text += " busy=" + Dec::Format(result.busy_polls);
    PutLine(out, row.key, text);
  }
}

void FormatNetwork(const StateKey& /*row*/, const AdapterState& s, std::string& out) {
  out += FormatNetworkLines(s.network);
}

// The whole memories come last: a file cut short anywhere lacks some of their bytes.
// clang-format off
constexpr StateKey kStateKeys[] = {
    Row<One<Dec>>("index", [](auto& s) { return &s.index; }),
    Row<One<Num<8>>>("chip", [](auto& s) { return &s.id_value; }),
    Row<One<EepromSize>>("eeprom_size", [](auto& s) { return &s.eeprom_size; }),
    Row<One<Clock>>("clock", [](auto& s) { return &s.clock; }),
    Row<One<Time>>("time_ms", [](auto& s) { return &s.time_ms; }),
    Row<Words<Dec>>("driver_version", [](auto& s) { return &s.driver_version; }),
    Row<Words<Num<8>>>("adapter_bits", [](auto& s) { return &s.adapter_bits; }),
    Row<One<Dec>>("port", [](auto& s) { return &s.port; }),
    Row<Rest<Quoted>>("location", [](auto& s) { return &s.location; }),
    Row<Rest<Quoted>>("registry_key", [](auto& s) { return &s.registry_key; }),
    Row<Rest<Quoted>>("pdo_name", [](auto& s) { return &s.pdo_name; }),
    Row<Rest<Partner>>("link_partner", [](auto& s) { return &s.link.partner; }),
    Row<One<Dec>>("link_delay_ms", [](auto& s) { return &s.link.delay_ms; }),
    Row<One<Dec>>("link_mode_reply", [](auto& s) { return &s.link.mode_reply; }),
    Row<One<Named<kPolicyNames>>>("link_mode_policy", [](auto& s) { return &s.link.policy; }),
    Row<One<Flag>>("link_admin_up", [](auto& s) { return &s.link_runtime.admin_up; }),
    Row<One<Time>>("link_started_ms", [](auto& s) { return &s.link_runtime.started_ms; }),
    Row<One<Flag>>("link_was_up", [](auto& s) { return &s.link_runtime.was_up; }),
    Row<One<Flag>>("link_latched_low", [](auto& s) { return &s.link_runtime.latched_low; }),
    Row<One<Num<4>>>("link_advertise", [](auto& s) { return &s.link_runtime.advertise; }),
    Row<One<Num<4>>>("link_gig_control", [](auto& s) { return &s.link_runtime.gig_control; }),
    Row<One<Flag>>("e2p_open", [](auto& s) { return &s.e2p_open; }),
    Row<One<Named<kOtpAccessNames>>>("otp_access", [](auto& s) { return &s.otp_access; }),
    Row<One<Num<4, 0xFFFF>>>("cable_register", [](auto& s) { return &s.cable_register; }),
    Row<One<Time>>("cable_started_ms", [](auto& s) { return &s.cable_started_ms; }),
    {"cable", 0, 0, false, ParseCable, FormatCable},
    Row<OneUnlessZero<Dec>>("cable_polls_left", [](auto& s) { return &s.cable_polls_left; }),
    Row<One<Num<2, 0xFF>>>("mcu_control", [](auto& s) { return &s.mcu.control; }),
    Row<One<Num<4, 0xFFFF>>>("mcu_address", [](auto& s) { return &s.mcu.address; }),
    Row<Each<FaultText>>("fault", [](auto& s) { return &s.faults; }),
    Row<Entries<Num<0, kStatCount - 1>, Num<8>>>("stat", [](auto& s) { return &s.stats; }),
    Row<Entries<Num<8>, Num<8>, RegisterEntry>>("register", [](auto& s) { return &s.registers; }),
    Row<Entries<Num<8>, Num<4>, PhyEntry>>("phy", [](auto& s) { return &s.phy; }),
    Row<Entries<Num<8>, Num<4>, PhyEntry>>("phy_pin", [](auto& s) { return &s.phy_pins; }),
    Row<Entries<Num<4, 0xFFFF>, Num<4>>>("pcie_phy", [](auto& s) { return &s.pcie_phy; }),
    Row<Memory<Layout::kLines>>("pci_config", [](auto& s) { return &s.pci_config; }),
    Row<Memory<Layout::kRuns>>("mcu_xdata", [](auto& s) { return XdataOf(s.mcu); }),
    Row<Memory<Layout::kRuns>>("mcu_sfr", [](auto& s) { return &s.mcu.sfr; }),
    {nullptr, 0, 0, false, nullptr, FormatNetwork},
    Row<Memory<Layout::kWhole>>("eeprom", [](auto& s) { return &s.eeprom; }),
    Row<Memory<Layout::kWhole>>("otp", [](auto& s) { return &s.otp; }),
};
// clang-format on

}  // namespace

std::span<const StateKey> StateKeys() { return kStateKeys; }

}  // namespace emu
