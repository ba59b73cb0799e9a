// ini_section.cpp - the section loop, the decimal-section reader and the two table-driven
// handlers: hexadecimal keys ([GPIOConfig], [LEDBehaviorConfig] and the optional override
// sections) and small decimal keys ([GPIOPME0], [GPIOPME1], [LEDConfig0], [LEDConfig1],
// [LEDConfig2]).
#include "config/ini_section.h"

#include "config/user/ini_value.h"

bool NextSectionLine(IniFile& file, size_t& first) {
  while (!file.ended()) {
    file.NextLine();
    if (file.failed()) return false;
    size_t header_first = 0;
    if (IsIniHeader(file.line(), file.length(), &header_first)) {
      file.UnreadLine();
      return false;
    }
    file.NoteBlankedHeader();
    first = SkipBlanks(file.line(), 0);
    if (file.line()[first] != '\0') return true;
  }
  return false;
}

int ReadDecimalSection(IniSectionContext& context, std::span<const DecimalKeyRow> keys) {
  return ReadSectionKeys(context.file, keys, [&](const IniKeyHit& hit) {
    const DecimalKeyRow& row = keys[hit.key];
    return ParseDecimalKey(hit.value, row.max_digits, context.state.*row.state,
                           context.settings.*row.field, row.format_message, context.console);
  });
}

int HandleHexSection(IniSectionContext& context, const IniSectionEntry& entry) {
  DeviceSettings& settings = context.settings;
  const auto read_key = [&](const IniKeyHit& hit) {
    const HexKeyRow& row = entry.hex_keys[hit.key];
    if (CheckHex(hit.value, row.max_length) != 0) {
      context.console.Error("%s", row.format_message);
      if (row.state != nullptr) context.state.*row.state = KeyState::kInvalid;
      return -1;
    }
    const uint32_t value = HexValue(hit.value);
    if (row.field32 != nullptr) settings.*row.field32 = value;
    if (row.field16 != nullptr) settings.*row.field16 = static_cast<uint16_t>(value);
    if (row.present != nullptr) settings.*row.present = 1;
    if (row.state != nullptr) context.state.*row.state = KeyState::kValid;
    return 0;
  };
  if (ReadSectionKeys(context.file, entry.hex_keys, read_key) != 0) return -1;

  bool reported = false;
  for (const HexKeyRow& row : entry.hex_keys) {
    if (row.state != nullptr && context.state.*row.state == KeyState::kAbsent) {
      context.console.Error("The field %s is missing\n", row.key);
      context.file.Report(IniFault::kMissingKey, row.key);
      reported = true;
    }
  }
  if (reported) return -1;
  if (entry.present != nullptr) context.state.*entry.present = true;
  return 0;
}

int HandleDigitSection(IniSectionContext& context, const IniSectionEntry& entry) {
  const DigitFamily& family = *entry.digit_family;
  Console& console = context.console;
  IniState& state = context.state;
  const auto read_key = [&](const IniKeyHit& hit) {
    const DigitKeyRow& row = entry.digit_keys[hit.key];
    if (CheckDecimal(hit.value, family.max_digits) != 0) {
      console.Error(family.format_message, row.key);
      state.*row.state = KeyState::kInvalid;
      return -1;
    }
    context.settings.*row.field = static_cast<int32_t>(DecimalValue(hit.value));
    state.*row.state = KeyState::kValid;
    return 0;
  };
  if (ReadSectionKeys(context.file, entry.digit_keys, read_key) != 0) return -1;

  bool reported = false;
  const auto check_missing = [&](const DigitKeyRow& row) {
    if (state.*row.state != KeyState::kAbsent) return;
    console.Error(family.missing_message, row.key);
    context.file.Report(IniFault::kMissingKey, row.key);
    reported = true;
  };
  const auto check_range = [&](const DigitKeyRow& row) {
    if (state.*row.state == KeyState::kAbsent) return;
    if (context.settings.*row.field <= family.max_value) return;
    console.Error(family.range_message, row.key);
    context.file.Report(IniFault::kValueAbove, row.key);
    reported = true;
  };
  if (family.all_missing_first) {
    for (const DigitKeyRow& row : entry.digit_keys) check_missing(row);
    for (const DigitKeyRow& row : entry.digit_keys) check_range(row);
  } else {
    for (const DigitKeyRow& row : entry.digit_keys) {
      check_missing(row);
      check_range(row);
    }
  }
  if (reported) return -1;
  if (entry.present != nullptr) state.*entry.present = true;
  return 0;
}
