// hardware_sections.cpp - the handlers of the hardware sections with keys of their own shape:
// [InterruptPollInterval], [PMEWUFConfiguration], [ConfigFlags0], and the signature check of
// [OtpConfig].
#include <array>
#include <cstdint>

#include "config/ini_section.h"
#include "config/user/ini_value.h"

namespace {

constexpr int32_t kFsPollIntervalMax = 255;
constexpr int32_t kHsPollIntervalMax = 16;
constexpr int32_t kFilterAddressTypeMax = 2;
constexpr int32_t kFilterPatternOffsetMax = 255;

// Reads a decimal value of up to |max_digits| digits into |field|; on a format error prints
// "ERROR: " and |message| and marks the key invalid. Returns 0 or -1.
int ReadDecimalKey(IniKeyHit& hit, int max_digits, int32_t& field, KeyState& state,
                   const char* message, Console& console) {
  if (CheckDecimal(hit.value, max_digits) != 0) {
    console.Error("%s", message);
    state = KeyState::kInvalid;
    return -1;
  }
  field = static_cast<int32_t>(DecimalValue(hit.value));
  state = KeyState::kValid;
  return 0;
}

}  // namespace

int HandleInterruptPollInterval(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"FSPollInterval", "HSPollInterval", "SSPollInterval"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    int result = 0;
    switch (hit.key) {
      case 0:
        result = ReadDecimalKey(hit, 3, settings.FSPollInterval, state.FSPollInterval,
                                "Invalid Full speed interrupt polling interval.\n", console);
        break;
      case 1:
        result = ReadDecimalKey(hit, 2, settings.HSPollInterval, state.HSPollInterval,
                                "Invalid High speed interrupt polling interval.\n", console);
        break;
      default:
        result = ReadDecimalKey(hit, 2, settings.SSPollInterval, state.SSPollInterval,
                                "Invalid Super speed interrupt polling interval.\n", console);
        break;
    }
    if (result != 0) failed = true;
  }
  if (context.file.failed() || failed) return -1;

  bool reported = true;
  if (state.FSPollInterval == KeyState::kAbsent) {
    console.Error("The field FSPollInterval is missing\n");
  } else if (settings.FSPollInterval == 0) {
    console.Error("Full speed interrupt polling interval cannot be 0.\n");
  } else if (settings.FSPollInterval > kFsPollIntervalMax) {
    console.Error("Full speed interrupt polling interval cannot exceed %d.\n", kFsPollIntervalMax);
  } else {
    reported = false;
  }
  if (state.HSPollInterval == KeyState::kAbsent) {
    console.Error("The field HSPollInterval is missing\n");
    reported = true;
  } else if (settings.HSPollInterval == 0) {
    console.Error("High speed interrupt polling interval cannot be 0.\n");
    reported = true;
  } else if (settings.HSPollInterval > kHsPollIntervalMax) {
    console.Error("High speed interrupt polling interval cannot exceed %d.\n", kHsPollIntervalMax);
    reported = true;
  }
  if (reported) return -1;
  state.InterruptPollIntervalSectionPresent = true;
  return 0;
}

int HandlePmeWufConfiguration(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"FilterAddressType", "FilterPatternOffset", "FilterCRC",
                                       "FilterMaskPattern"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    int result = 0;
    switch (hit.key) {
      case 0:
        result = ReadDecimalKey(hit, 1, settings.FilterAddressType, state.FilterAddressType,
                                "Invalid FilterAddressType (0 - 2)\n", console);
        break;
      case 1:
        result = ReadDecimalKey(hit, 3, settings.FilterPatternOffset, state.FilterPatternOffset,
                                "Invalid FilterPatternOffset (0 - 255)\n", console);
        break;
      case 2:
        if (CheckHex(hit.value, 4) != 0) {
          console.Error("Invalid FilterCRC.\n");
          state.FilterCRC = KeyState::kInvalid;
          result = -1;
        } else {
          settings.FilterCRC = static_cast<uint16_t>(HexValue(hit.value));
          state.FilterCRC = KeyState::kValid;
        }
        break;
      default:
        settings.FilterMaskPattern = hit.value;
        state.FilterMaskPattern = KeyState::kValid;
        break;
    }
    if (result != 0) failed = true;
  }
  if (context.file.failed() || failed) return -1;

  bool reported = true;
  if (state.FilterAddressType == KeyState::kAbsent) {
    console.Error("The field FilterAddressType is missing\n");
  } else if (settings.FilterAddressType > kFilterAddressTypeMax) {
    console.Error("The field FilterAddressType range (0 - 2).\n");
  } else {
    reported = false;
  }
  if (state.FilterPatternOffset == KeyState::kAbsent) {
    console.Error("The field FilterPatternOffset is missing\n");
    reported = true;
  } else if (settings.FilterPatternOffset > kFilterPatternOffsetMax) {
    console.Error("Invalid FilterPatternOffset (0 - 255)\n");
    reported = true;
  }
  if (state.FilterMaskPattern == KeyState::kAbsent) {
    console.Error("The field FilterMaskPattern is missing\n");
    reported = true;
  }
  settings.FilterCRCAbsent = state.FilterCRC == KeyState::kAbsent ? 1 : 0;
  if (state.FilterMaskPattern != KeyState::kAbsent &&
      ParseFilterMaskPattern(settings, console) != 0) {
    console.Error("FilterMaskPattern validation failed\n");
    return -1;
  }
  if (reported) return -1;
  state.PMEWUFConfigurationSectionPresent = true;
  return 0;
}

int HandleConfigFlags0(IniSectionContext& context, const IniSectionEntry&) {
  static constexpr std::array kKeys = {"SWModeSuspendNSelect", "SWModePolarity",
                                       "RemoteWakeupEnable", "SelfPower", "ConfigFlags0Override"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  bool failed = false;
  IniKeyHit hit;
  while (NextSectionKey(context.file, kKeys, hit)) {
    int result = 0;
    switch (hit.key) {
      case 0:
        result =
            ParseEnableDigit(hit.value, state.SWModeSuspendNSelect, settings.SWModeSuspendNSelect,
                             "Invalid SWModeSuspendNSelect or out of range (0-3)\n", console);
        break;
      case 1:
        result = ParseEnableDigit(hit.value, state.SWModePolarity, settings.SWModePolarity,
                                  "Invalid SWModePolarity (range 0-1)\n", console);
        break;
      case 2:
        result = ParseEnableDigit(hit.value, state.RemoteWakeupEnable, settings.RemoteWakeupEnable,
                                  "Invalid RemoteWakeupEnable (range 0-1)\n", console);
        break;
      case 3:
        result = ParseEnableDigit(hit.value, state.SelfPower, settings.SelfPower,
                                  "Invalid SelfPower (range 0-1)\n", console);
        break;
      default:
        if (CheckHex(hit.value, 10) != 0) {
          console.Error("Invalid ConfigFlags0Override, should be in the form '0xFFFFFFFF'\n");
          state.ConfigFlags0Override = KeyState::kInvalid;
          result = -1;
        } else {
          settings.ConfigFlags0Override = HexValue(hit.value);
          settings.ConfigFlags0OverridePresent = 1;
          state.ConfigFlags0Override = KeyState::kValid;
        }
        break;
    }
    if (result != 0) failed = true;
  }
  if (context.file.failed() || failed) return -1;

  // The whole word makes the four fields optional and unchecked.
  if (state.ConfigFlags0Override == KeyState::kAbsent) {
    struct FlagKey {
      const char* key;
      KeyState key_state;
      int32_t value;
      int32_t max_value;
      const char* range_message;
    };
    const FlagKey keys[] = {
        {"SWModeSuspendNSelect", state.SWModeSuspendNSelect, settings.SWModeSuspendNSelect, 3,
         "Invalid SWModeSuspendNSelect or out of range (0-3)\n"},
        {"SWModePolarity", state.SWModePolarity, settings.SWModePolarity, 1,
         "Invalid value for SWModePolarity(range 0-1)\n"},
        {"RemoteWakeupEnable", state.RemoteWakeupEnable, settings.RemoteWakeupEnable, 1,
         "Invalid value for RemoteWakeupEnable(range 0-1)\n"},
        {"SelfPower", state.SelfPower, settings.SelfPower, 1,
         "Invalid value for SelfPower(range 0-1)\n"},
    };
    bool reported = false;
    for (const FlagKey& key : keys) {
      if (key.key_state == KeyState::kAbsent) {
        console.Error("The field %s is missing\n", key.key);
        reported = true;
      } else if (key.value > key.max_value) {
        console.Error("%s", key.range_message);
        reported = true;
      }
    }
    if (reported) return -1;
  }
  state.ConfigFlags0SectionPresent = true;
  return 0;
}

int HandleOtpConfig(IniSectionContext& context, const IniSectionEntry& entry) {
  const int result = HandleHexSection(context, entry);
  if (context.file.failed()) return -1;
  const uint32_t signature = context.settings.OtpSignature;
  if (signature != 0 && signature != 0xF3 && signature != 0xF7 && signature != 0xDEAD) {
    context.console.Error("Invalid OtpSignature, should be '0xF3' or '0xF7'\n");
    return -1;
  }
  return result;
}
