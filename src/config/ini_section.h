// ini_section.h - what the INI section handlers share: the section loop, the key readers and the
// reports made after a section, the section table's entry, and the key rows of the section
// families that are handled by one routine each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "config/device_settings.h"
#include "config/ini_file.h"
#include "config/ini_state.h"
#include "config/user/ini_line.h"
#include "platform/console.h"

struct IniSectionContext {
  IniFile& file;
  DeviceSettings& settings;
  IniState& state;
  Console& console;
};

// A key of a section found on a line: its index in the section's key list and its value.
struct IniKeyHit {
  size_t key = 0;
  char* value = nullptr;   // into the file's line buffer; checks may cut it
  size_t value_index = 0;  // index of the value in the line
};

// The next line of the current section that is neither empty nor blank; |first| is the index of
// its first non-blank character. Returns false at the end of the section: the next header (left
// to be read again), the end of the file, or a read failure (file.failed()).
bool NextSectionLine(IniFile& file, size_t& first);

inline const char* KeyName(const char* key) { return key; }
template <typename Row>
const char* KeyName(const Row& row) {
  return row.key;
}

// The next line of the section on which one of |keys| (tried in order) stands with a value.
// Lines with unknown keys or empty values are skipped. Returns false at the end of the section.
// |keys| is an array or span of key names or of rows with a |key| member.
template <typename Keys>
bool NextSectionKey(IniFile& file, const Keys& keys, IniKeyHit& hit) {
  size_t first = 0;
  while (NextSectionLine(file, first)) {
    for (size_t i = 0; i < keys.size(); ++i) {
      const ptrdiff_t value = FindKeyValue(file.line(), KeyName(keys[i]), first);
      if (value >= 0) {
        hit = {.key = i, .value = file.line() + value, .value_index = static_cast<size_t>(value)};
        file.NoteKey(KeyName(keys[i]));
        return true;
      }
    }
  }
  return false;
}

// Reads the keys of the current section to its end, each hit with |read_key| (0 or -1). A bad
// value does not stop the reading, so that every bad value of the section is reported. Returns -1
// when a key failed or the file could not be read, else 0.
template <typename Keys, typename ReadKey>
int ReadSectionKeys(IniFile& file, const Keys& keys, const ReadKey& read_key) {
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(file, keys, hit)) {
    if (read_key(hit) != 0) {
      file.Report(IniFault::kBadValue, KeyName(keys[hit.key]));
      failed = true;
    }
  }
  return file.failed() || failed ? -1 : 0;
}

// A required key and what is printed when it was not given.
struct RequiredKey {
  KeyState state;
  const char* missing_message;
};

// Prints "ERROR: " and the message of each key not given, in the order listed. Returns whether
// any was missing.
bool ReportMissingKeys(Console& console, std::initializer_list<RequiredKey> keys);

// A required decimal key whose value may not exceed |max_value|.
struct BoundedKey {
  const char* key;
  KeyState state;
  int32_t value;
  int32_t max_value;
  const char* range_message;
};

// Key by key in the order listed, prints "ERROR: " and "The field <key> is missing" for a key
// not given, or its range message for a value above its maximum, and reports its place in
// |file|. Returns whether any was printed.
bool ReportMissingOrAbove(IniFile& file, Console& console, std::initializer_list<BoundedKey> keys);

// The end of a required section's handler: -1 when its checks reported anything, else the
// section counts as read.
int FinishSection(bool reported, bool& section_present);

// A key read with CheckHex into a 32- or 16-bit field (one of the two is set). Optional values
// set |present| on success; required keys have a |state| and are reported when missing.
struct HexKeyRow {
  const char* key;
  int max_length;  // with the "0x" prefix
  const char* format_message;
  uint32_t DeviceSettings::*field32 = nullptr;
  uint16_t DeviceSettings::*field16 = nullptr;
  int32_t DeviceSettings::*present = nullptr;
  KeyState IniState::*state = nullptr;
};

// The messages and limits shared by a family of small decimal keys; each message has one %s for
// the key name.
struct DigitFamily {
  int max_digits;
  int32_t max_value;
  const char* format_message;
  const char* missing_message;
  const char* range_message;
  bool all_missing_first;  // every missing key before every range message, else key by key
};

// A decimal key read with ParseDecimalKey, with its own digits and format message.
struct DecimalKeyRow {
  const char* key;
  int max_digits;
  int32_t DeviceSettings::*field;
  KeyState IniState::*state;
  const char* format_message;
};

// Reads a section made only of decimal keys. Returns 0, or -1 as ReadSectionKeys does.
int ReadDecimalSection(IniSectionContext& context, std::span<const DecimalKeyRow> keys);

struct DigitKeyRow {
  const char* key;
  int32_t DeviceSettings::*field;
  KeyState IniState::*state;
};

struct IniSectionEntry;
using IniSectionHandler = int (*)(IniSectionContext& context, const IniSectionEntry& entry);

// One row of the section table. Family handlers take their keys from the row; the others ignore
// the key fields.
struct IniSectionEntry {
  const char* name;  // the header, brackets included
  IniSectionHandler handler;
  std::span<const HexKeyRow> hex_keys = {};
  const DigitFamily* digit_family = nullptr;
  std::span<const DigitKeyRow> digit_keys = {};
  bool IniState::*present = nullptr;  // the section-present flag of a required section
};

std::span<const IniSectionEntry> IniSectionTable();

// Handlers; each returns 0, or -1 when the section failed (its messages printed).
int HandleHexSection(IniSectionContext& context, const IniSectionEntry& entry);
int HandleDigitSection(IniSectionContext& context, const IniSectionEntry& entry);
int HandleOtpConfig(IniSectionContext& context, const IniSectionEntry& entry);
int HandleMacAddress(IniSectionContext& context, const IniSectionEntry& entry);
int HandleSerialNumber(IniSectionContext& context, const IniSectionEntry& entry);
int HandleString(IniSectionContext& context, const IniSectionEntry& entry);
int HandleId(IniSectionContext& context, const IniSectionEntry& entry);
int HandlePower(IniSectionContext& context, const IniSectionEntry& entry);
int HandleInterruptPollInterval(IniSectionContext& context, const IniSectionEntry& entry);
int HandlePmeWufConfiguration(IniSectionContext& context, const IniSectionEntry& entry);
int HandleConfigFlags0(IniSectionContext& context, const IniSectionEntry& entry);

// Fills FilterMaskPatternBytes from FilterMaskPattern (pairs of hexadecimal digits separated by
// blanks or tabs, at most 128). Returns 0 or -1, its messages printed.
int ParseFilterMaskPattern(DeviceSettings& settings, Console& console);
