// identity_sections.cpp - the handlers of the sections that say who the device is: [MacAddress],
// [SerialNumber], [String], [ID] and [Power].
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

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

}  // namespace

int HandleMacAddress(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"CurrentMacAddress", "MaximumMacAddress",
                                       "MacAddressIncrement"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    switch (hit.key) {
      case 0:
        if (!ValuePosition(context, hit, kKeys[0], settings.CurrentMacAddressOffset)) {
          failed = true;
          break;
        }
        settings.CurrentMacAddressLength = static_cast<int32_t>(std::strlen(hit.value));
        if (ParseMacAddress(hit.value, settings.CurrentMacAddress) != 0) {
          console.Warning("Ini file, invalid current MAC address format\n");
          state.CurrentMacAddress = KeyState::kInvalid;
          failed = true;
          break;
        }
        state.CurrentMacAddress = KeyState::kValid;
        settings.CurrentMacAddressPresent = 1;
        break;
      case 1:
        if (ParseMacAddress(hit.value, settings.MaximumMacAddress) != 0) {
          console.Error("Ini file, invalid maximum MAC address format\n");
          state.MaximumMacAddress = KeyState::kInvalid;
          failed = true;
        } else if ((settings.MaximumMacAddress[0] & 1) != 0 ||
                   settings.MaximumMacAddress == MacAddress{}) {
          console.Error("Invalid max mac address\n");
          state.MaximumMacAddress = KeyState::kInvalid;
          failed = true;
        } else {
          state.MaximumMacAddress = KeyState::kValid;
        }
        break;
      default:
        if (CheckDecimal(hit.value, 3) != 0) {
          console.Warning("Ini file, invalid mac address increment or out of range\n");
        } else {
          settings.MacAddressIncrement = static_cast<int32_t>(DecimalValue(hit.value));
          if (settings.MacAddressIncrement == 0) {
            console.Warning("Ini file, mac address increment is zero in the ini file\n");
          } else if (settings.MacAddressIncrement > kMaxIncrement) {
            console.Warning("Ini file, mac address increment is out of range in the ini file\n");
          } else {
            state.MacAddressIncrement = KeyState::kValid;
            break;
          }
        }
        state.MacAddressIncrement = KeyState::kInvalid;
        failed = true;
        break;
    }
  }
  if (context.file.failed() || failed) return -1;

  bool reported = false;
  if (state.CurrentMacAddress == KeyState::kAbsent) {
    console.Error("Ini file,  the field CurrentMacAddress is missing\n");
    reported = true;
  }
  if (state.MaximumMacAddress == KeyState::kAbsent) {
    console.Error("Ini file, the field MaximumMacAddress is missing\n");
    reported = true;
  }
  if (state.MacAddressIncrement == KeyState::kAbsent) {
    console.Error("Ini file, the field MacAddressIncrement is missing\n");
    reported = true;
  }
  if (reported) return -1;
  state.MacAddressSectionPresent = true;
  return 0;
}

int HandleSerialNumber(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"CurrentSerialNumber", "MaximumSerialNumber",
                                       "SerialNumberIncrement"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    if (hit.key == 2) {
      if (CheckDecimal(hit.value, 3) != 0) {
        console.Warning("Ini file, invalid serial number increment or out of range\n");
      } else {
        settings.SerialNumberIncrement = static_cast<int32_t>(DecimalValue(hit.value));
        if (settings.SerialNumberIncrement <= kMaxIncrement) {
          state.SerialNumberIncrement = KeyState::kValid;
          continue;
        }
        console.Warning("Ini file, serial number increment is out of range\n");
      }
      state.SerialNumberIncrement = KeyState::kInvalid;
      failed = true;
      continue;
    }
    CutAtBlank(hit.value);
    const size_t length = std::strlen(hit.value);
    const bool current = hit.key == 0;
    if (current) {
      if (!ValuePosition(context, hit, kKeys[0], settings.CurrentSerialNumberOffset)) {
        failed = true;
        continue;
      }
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
      failed = true;
      continue;
    }
    (current ? settings.CurrentSerialNumber : settings.MaximumSerialNumber) = hit.value;
    key_state = KeyState::kValid;
  }
  if (context.file.failed() || failed) return -1;

  bool reported = false;
  if (state.CurrentSerialNumber == KeyState::kAbsent) {
    console.Error("Ini file, the field CurrentSerialNumber is missing\n");
    reported = true;
  }
  if (state.MaximumSerialNumber == KeyState::kAbsent) {
    console.Error("Ini file, the field MaximumSerialNumber is missing\n");
    reported = true;
  }
  if (state.SerialNumberIncrement == KeyState::kAbsent) {
    console.Error("Ini file, the field SerialNumberIncrement is missing\n");
    reported = true;
  }
  if (reported) return -1;
  state.SerialNumberSectionPresent = true;
  return 0;
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

int HandleString(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = StringSectionKeys();
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    const StringKeyPair& pair = kStringPairs[hit.key % kStringPairs.size()];
    if (hit.key < kStringPairs.size()) {
      settings.*pair.field = hit.value;
      state.*pair.given = KeyState::kValid;
    } else if (ParseEnableDigit(hit.value, state.*pair.enable, state.*pair.enable_value,
                                pair.enable_format_message, console) != 0) {
      failed = true;
    }
  }
  if (context.file.failed() || failed) return -1;

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
  if (reported) return -1;
  state.StringSectionPresent = true;
  return 0;
}

int HandleId(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"VendorID", "ProductID", "BcdDevice"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    uint16_t value = 0;
    if (hit.key == 0) {
      if (ParseHex16(hit.value, value) != 0) {
        console.Error("Invalid vendor ID. Should be in the format 0x0E1D\n");
      } else if (value == 0) {
        console.Error("Vendor ID cannot be 0\n");
      } else {
        settings.VendorID = value;
        state.VendorID = KeyState::kValid;
        continue;
      }
      state.VendorID = KeyState::kInvalid;
      failed = true;
    } else if (hit.key == 1) {
      if (ParseHex16(hit.value, value) != 0) {
        console.Error("Invalid product ID. Should be in the format 0x5200\n");
        state.ProductID = KeyState::kInvalid;
        failed = true;
        continue;
      }
      settings.ProductID = value;
      state.ProductID = KeyState::kValid;
    } else {
      if (CheckDecimal(hit.value, 4) != 0) {
        console.Error("Invalid BcdDevice\n");
        state.BcdDevice = KeyState::kInvalid;
        failed = true;
        continue;
      }
      // Binary-coded decimal: one digit per four bits, the last digit lowest.
      for (const char* digit = hit.value; *digit != '\0'; ++digit) {
        value = static_cast<uint16_t>(value << 4 | (*digit - '0'));
      }
      settings.BcdDevice = value;
      state.BcdDevice = KeyState::kValid;
    }
  }
  if (context.file.failed() || failed) return -1;

  bool reported = false;
  for (const auto& [key, key_state] :
       {std::pair{"VendorID", state.VendorID}, std::pair{"ProductID", state.ProductID},
        std::pair{"BcdDevice", state.BcdDevice}}) {
    if (key_state == KeyState::kAbsent) {
      console.Error("The field %s is missing\n", key);
      reported = true;
    }
  }
  if (reported) return -1;
  state.IDSectionPresent = true;
  return 0;
}

int HandlePower(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"SSMaxPower", "HSMaxPower"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    const bool ss = hit.key == 0;
    KeyState& key_state = ss ? state.SSMaxPower : state.HSMaxPower;
    if (CheckDecimal(hit.value, 3) != 0) {
      if (ss) {
        console.Error("Invalid SSMaxPower or out of range (8 - 896)\n");
      } else {
        console.Error("Invalid HSMaxPower or out of range (2 - 500)\n");
      }
      key_state = KeyState::kInvalid;
      failed = true;
      continue;
    }
    (ss ? settings.SSMaxPower : settings.HSMaxPower) =
        static_cast<int32_t>(DecimalValue(hit.value));
    key_state = KeyState::kValid;
  }
  if (context.file.failed() || failed) return -1;

  bool reported = false;
  if (state.HSMaxPower == KeyState::kAbsent) {
    console.Error("The field HSMaxPower is missing\n");
    reported = true;
  }
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
  if (reported) return -1;
  state.PowerSectionPresent = true;
  return 0;
}
