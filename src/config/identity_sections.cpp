// identity_sections.cpp - the handlers of the sections that say who the device is: [MacAddress],
// [SerialNumber], [String], [ID] and [Power].
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "config/ini_section.h"
#include "config/user/ini_value.h"

namespace {

constexpr int kMaxIncrement = 255;
constexpr int kHsMaxPowerMin = 2;
constexpr int kHsMaxPowerMax = 500;

// The file offset of a value, for the write-back. Returns false (message printed) for a value
// beyond what the 32-bit write-back positions can hold.
bool ValuePosition(IniSectionContext& context, const IniKeyHit& hit, const char* key,
                   int32_t& offset) {
  const int64_t position = context.file.position() + static_cast<int64_t>(hit.value_index);
  if (position > INT32_MAX) {
    context.console.Error("Ini file, the value of %s lies too far into the file\n", key);
    return false;
  }
  offset = static_cast<int32_t>(position);
  return true;
}

// An increment of up to three digits, stored even when out of range: a bad format or a value
// above kMaxIncrement prints "WARNING: " and its message and marks the key invalid.
// Returns 0 or -1.
int ReadIncrement(char* text, int32_t& field, KeyState& state, const char* format_message,
                  const char* range_message, Console& console) {
  if (CheckDecimal(text, 3) != 0) {
    console.Warning("%s", format_message);
    state = KeyState::kInvalid;
    return -1;
  }
  field = static_cast<int32_t>(DecimalValue(text));
  if (field > kMaxIncrement) {
    console.Warning("%s", range_message);
    state = KeyState::kInvalid;
    return -1;
  }
  state = KeyState::kValid;
  return 0;
}

}  // namespace

int HandleMacAddress(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {"CurrentMacAddress", "MaximumMacAddress",
                                       "MacAddressIncrement"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    switch (hit.key) {
      case 0:
        if (!ValuePosition(context, hit, kKeys[0], settings.CurrentMacAddressOffset)) return -1;
        settings.CurrentMacAddressLength = static_cast<int32_t>(std::strlen(hit.value));
        if (ParseMacAddress(hit.value, settings.CurrentMacAddress) != 0) {
          console.Warning("Ini file, invalid current MAC address format\n");
          state.CurrentMacAddress = KeyState::kInvalid;
          return -1;
        }
        state.CurrentMacAddress = KeyState::kValid;
        settings.CurrentMacAddressPresent = 1;
        return 0;
      case 1:
        if (ParseMacAddress(hit.value, settings.MaximumMacAddress) != 0) {
          console.Error("Ini file, invalid maximum MAC address format\n");
        } else if ((settings.MaximumMacAddress[0] & 1) != 0 ||
                   settings.MaximumMacAddress == MacAddress{}) {
          console.Error("Invalid max mac address\n");
        } else {
          state.MaximumMacAddress = KeyState::kValid;
          return 0;
        }
        state.MaximumMacAddress = KeyState::kInvalid;
        return -1;
      default:
        if (ReadIncrement(hit.value, settings.MacAddressIncrement, state.MacAddressIncrement,
                          "Ini file, invalid mac address increment or out of range\n",
                          "Ini file, mac address increment is out of range in the ini file\n",
                          console) != 0) {
          return -1;
        }
        // Unlike the serial number, the address must move on between boards.
        if (settings.MacAddressIncrement != 0) return 0;
        console.Warning("Ini file, mac address increment is zero in the ini file\n");
        state.MacAddressIncrement = KeyState::kInvalid;
        return -1;
    }
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  const bool reported = ReportMissingKeys(
      console,
      {{state.CurrentMacAddress, "Ini file,  the field CurrentMacAddress is missing\n"},
       {state.MaximumMacAddress, "Ini file, the field MaximumMacAddress is missing\n"},
       {state.MacAddressIncrement, "Ini file, the field MacAddressIncrement is missing\n"}});
  return FinishSection(reported, state.*entry.present);
}

int HandleSerialNumber(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {"CurrentSerialNumber", "MaximumSerialNumber",
                                       "SerialNumberIncrement"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    if (hit.key == 2) {
      return ReadIncrement(hit.value, settings.SerialNumberIncrement, state.SerialNumberIncrement,
                           "Ini file, invalid serial number increment or out of range\n",
                           "Ini file, serial number increment is out of range\n", console);
    }
    CutAtBlank(hit.value);
    const size_t length = std::strlen(hit.value);
    const bool current = hit.key == 0;
    if (current) {
      if (!ValuePosition(context, hit, kKeys[0], settings.CurrentSerialNumberOffset)) return -1;
      settings.CurrentSerialNumberLength = static_cast<int32_t>(length);
    }
    KeyState& key_state = current ? state.CurrentSerialNumber : state.MaximumSerialNumber;
    if (length > kSerialNumberMaxChars) {
      if (current) {
        console.Warning("Ini file: Current serial number size is greater than %d\n",
                        static_cast<int>(kSerialNumberMaxChars));
      } else {
        console.Warning("Ini file, maximum serial number size is greater than %d\n",
                        static_cast<int>(kSerialNumberMaxChars));
      }
      key_state = KeyState::kInvalid;
      return -1;
    }
    (current ? settings.CurrentSerialNumber : settings.MaximumSerialNumber) = hit.value;
    key_state = KeyState::kValid;
    return 0;
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  const bool reported = ReportMissingKeys(
      console,
      {{state.CurrentSerialNumber, "Ini file, the field CurrentSerialNumber is missing\n"},
       {state.MaximumSerialNumber, "Ini file, the field MaximumSerialNumber is missing\n"},
       {state.SerialNumberIncrement, "Ini file, the field SerialNumberIncrement is missing\n"}});
  return FinishSection(reported, state.*entry.present);
}

namespace {

// One descriptor string of [String] and the digit that enables it.
struct StringKeyPair {
  const char* string_key;
  const char* enable_key;
  const char* enable_format_message;
  std::optional<std::string> DeviceSettings::*field;
  KeyState IniState::*given;
  KeyState IniState::*enable;
  int32_t IniState::*enable_value;
};

#define QNT_STRING_PAIR(name)                                                       \
  StringKeyPair {                                                                   \
    .string_key = #name "String", .enable_key = #name "Enable",                     \
    .enable_format_message = "Invalid " #name "Enable(range 0-1)\n",                \
    .field = &DeviceSettings::name##String, .given = &IniState::name##String,       \
    .enable = &IniState::name##Enable, .enable_value = &IniState::name##EnableValue \
  }

constexpr std::array kStringPairs = {
    QNT_STRING_PAIR(Manufacturer),
    QNT_STRING_PAIR(Product),
    QNT_STRING_PAIR(Configuration),
    QNT_STRING_PAIR(Interface),
};

#undef QNT_STRING_PAIR

// The keys of [String] in lookup order: the four strings, then the four enables.
constexpr std::array<const char*, 8> StringSectionKeys() {
  std::array<const char*, 8> keys{};
  for (size_t i = 0; i < kStringPairs.size(); ++i) {
    keys[i] = kStringPairs[i].string_key;
    keys[i + kStringPairs.size()] = kStringPairs[i].enable_key;
  }
  return keys;
}

}  // namespace

int HandleString(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = StringSectionKeys();
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    const StringKeyPair& pair = kStringPairs[hit.key % kStringPairs.size()];
    if (hit.key < kStringPairs.size()) {
      settings.*pair.field = hit.value;
      state.*pair.given = KeyState::kValid;
      return 0;
    }
    return ParseEnableDigit(hit.value, state.*pair.enable, state.*pair.enable_value,
                            pair.enable_format_message, console);
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  bool reported = false;
  for (const StringKeyPair& pair : kStringPairs) {
    const int32_t enable = state.*pair.enable_value;
    if (state.*pair.enable == KeyState::kAbsent) {
      console.Error("The field %s is missing\n", pair.enable_key);
      reported = true;
    } else if (enable > 1) {
      console.Error("Invalid value for the field %s (range 0-1)\n", pair.enable_key);
      reported = true;
    } else if (enable == 1 && state.*pair.given == KeyState::kAbsent) {
      console.Error("The field %s is missing\n", pair.string_key);
      reported = true;
    } else if (enable == 0) {
      // A disabled string is absent from the image, whatever was written for it.
      (settings.*pair.field).reset();
      state.*pair.given = KeyState::kAbsent;
    }
  }
  return FinishSection(reported, state.*entry.present);
}

int HandleId(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {"VendorID", "ProductID", "BcdDevice"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    uint16_t value = 0;
    if (hit.key == 0) {
      if (ParseHex16(hit.value, value) != 0) {
        console.Error("Invalid vendor ID. Should be in the format 0x0E1D\n");
      } else if (value == 0) {
        console.Error("Vendor ID cannot be 0\n");
      } else {
        settings.VendorID = value;
        state.VendorID = KeyState::kValid;
        return 0;
      }
      state.VendorID = KeyState::kInvalid;
      return -1;
    }
    if (hit.key == 1) {
      if (ParseHex16(hit.value, value) != 0) {
        console.Error("Invalid product ID. Should be in the format 0x5200\n");
        state.ProductID = KeyState::kInvalid;
        return -1;
      }
      settings.ProductID = value;
      state.ProductID = KeyState::kValid;
      return 0;
    }
    if (CheckDecimal(hit.value, 4) != 0) {
      console.Error("Invalid BcdDevice\n");
      state.BcdDevice = KeyState::kInvalid;
      return -1;
    }
    // Binary-coded decimal: one digit per four bits, the last digit lowest.
    for (const char* digit = hit.value; *digit != '\0'; ++digit) {
      value = static_cast<uint16_t>(value << 4 | (*digit - '0'));
    }
    settings.BcdDevice = value;
    state.BcdDevice = KeyState::kValid;
    return 0;
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  const bool reported =
      ReportMissingKeys(console, {{state.VendorID, "The field VendorID is missing\n"},
                                  {state.ProductID, "The field ProductID is missing\n"},
                                  {state.BcdDevice, "The field BcdDevice is missing\n"}});
  return FinishSection(reported, state.*entry.present);
}

int HandlePower(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {
      DecimalKeyRow{"SSMaxPower", 3, &DeviceSettings::SSMaxPower, &IniState::SSMaxPower,
                    "Invalid SSMaxPower or out of range (8 - 896)\n"},
      DecimalKeyRow{"HSMaxPower", 3, &DeviceSettings::HSMaxPower, &IniState::HSMaxPower,
                    "Invalid HSMaxPower or out of range (2 - 500)\n"},
  };
  if (ReadDecimalSection(context, kKeys) != 0) return -1;
  const DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;

  bool reported =
      ReportMissingKeys(console, {{state.HSMaxPower, "The field HSMaxPower is missing\n"}});
  if (settings.HSMaxPower != 0 && settings.HSMaxPower < kHsMaxPowerMin) {
    console.Error("HSMaxPower cannot be less than %dmA\n", kHsMaxPowerMin);
    reported = true;
  }
  if (settings.HSMaxPower > kHsMaxPowerMax) {
    console.Error("HSMaxPower exceed %dmA\n", kHsMaxPowerMax);
    reported = true;
  }
  if (settings.HSMaxPower % 2 != 0) {
    console.Error("Max power should be even number\n");
    reported = true;
  }
  if (settings.SSMaxPower % 8 != 0) {
    console.Error("Max power should be divisible by 8\n");
    return -1;
  }
  return FinishSection(reported, state.*entry.present);
}
