// hardware_sections.cpp - the handlers of the hardware sections with keys of their own shape:
// [InterruptPollInterval], [PMEWUFConfiguration], [ConfigFlags0], and the signature check of
// [OtpConfig].
#include <array>
#include <cstdint>

#include "config/ini_section.h"
#include "config/user/ini_value.h"
#include "format/otp_form.h"

namespace {

constexpr int32_t kFsPollIntervalMax = 255;
constexpr int32_t kHsPollIntervalMax = 16;
constexpr int32_t kFilterAddressTypeMax = 2;
constexpr int32_t kFilterPatternOffsetMax = 255;

}  // namespace

int HandleInterruptPollInterval(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {
      DecimalKeyRow{"FSPollInterval", 3, &DeviceSettings::FSPollInterval, &IniState::FSPollInterval,
                    "Invalid Full speed interrupt polling interval.\n"},
      DecimalKeyRow{"HSPollInterval", 2, &DeviceSettings::HSPollInterval, &IniState::HSPollInterval,
                    "Invalid High speed interrupt polling interval.\n"},
      DecimalKeyRow{"SSPollInterval", 2, &DeviceSettings::SSPollInterval, &IniState::SSPollInterval,
                    "Invalid Super speed interrupt polling interval.\n"},
  };
  if (ReadDecimalSection(context, kKeys) != 0) return -1;
  const DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;

  // The SuperSpeed interval is left to the image builder.
  struct PollInterval {
    const char* key;
    const char* speed;
    KeyState key_state;
    int32_t value;
    int32_t max_value;
  };
  bool reported = false;
  for (const PollInterval& interval :
       {PollInterval{"FSPollInterval", "Full speed", state.FSPollInterval, settings.FSPollInterval,
                     kFsPollIntervalMax},
        PollInterval{"HSPollInterval", "High speed", state.HSPollInterval, settings.HSPollInterval,
                     kHsPollIntervalMax}}) {
    if (interval.key_state == KeyState::kAbsent) {
      console.Error("The field %s is missing\n", interval.key);
    } else if (interval.value == 0) {
      console.Error("%s interrupt polling interval cannot be 0.\n", interval.speed);
    } else if (interval.value > interval.max_value) {
      console.Error("%s interrupt polling interval cannot exceed %d.\n", interval.speed,
                    interval.max_value);
    } else {
      continue;
    }
    reported = true;
  }
  return FinishSection(reported, state.*entry.present);
}

int HandlePmeWufConfiguration(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {"FilterAddressType", "FilterPatternOffset", "FilterCRC",
                                       "FilterMaskPattern"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    switch (hit.key) {
      case 0:
        return ParseDecimalKey(hit.value, 1, state.FilterAddressType, settings.FilterAddressType,
                               "Invalid FilterAddressType (0 - 2)\n", console);
      case 1:
        return ParseDecimalKey(hit.value, 3, state.FilterPatternOffset,
                               settings.FilterPatternOffset,
                               "Invalid FilterPatternOffset (0 - 255)\n", console);
      case 2:
        if (CheckHex(hit.value, 4) != 0) {
          console.Error("Invalid FilterCRC.\n");
          state.FilterCRC = KeyState::kInvalid;
          return -1;
        }
        settings.FilterCRC = static_cast<uint16_t>(HexValue(hit.value));
        state.FilterCRC = KeyState::kValid;
        return 0;
      default:
        settings.FilterMaskPattern = hit.value;
        state.FilterMaskPattern = KeyState::kValid;
        return 0;
    }
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  bool reported = ReportMissingOrAbove(
      context.file, console,
      {{"FilterAddressType", state.FilterAddressType, settings.FilterAddressType,
        kFilterAddressTypeMax, "The field FilterAddressType range (0 - 2).\n"},
       {"FilterPatternOffset", state.FilterPatternOffset, settings.FilterPatternOffset,
        kFilterPatternOffsetMax, "Invalid FilterPatternOffset (0 - 255)\n"}});
  if (ReportMissingKeys(console,
                        {{state.FilterMaskPattern, "The field FilterMaskPattern is missing\n"}})) {
    reported = true;
  }
  settings.FilterCRCAbsent = state.FilterCRC == KeyState::kAbsent ? 1 : 0;
  if (state.FilterMaskPattern != KeyState::kAbsent &&
      ParseFilterMaskPattern(settings, console) != 0) {
    console.Error("FilterMaskPattern validation failed\n");
    return -1;
  }
  return FinishSection(reported, state.*entry.present);
}

int HandleConfigFlags0(IniSectionContext& context, const IniSectionEntry& entry) {
  static constexpr std::array kKeys = {"SWModeSuspendNSelect", "SWModePolarity",
                                       "RemoteWakeupEnable", "SelfPower", "ConfigFlags0Override"};
  DeviceSettings& settings = context.settings;
  IniState& state = context.state;
  Console& console = context.console;
  const auto read_key = [&](const IniKeyHit& hit) {
    switch (hit.key) {
      case 0:
        return ParseEnableDigit(hit.value, state.SWModeSuspendNSelect,
                                settings.SWModeSuspendNSelect,
                                "Invalid SWModeSuspendNSelect or out of range (0-3)\n", console);
      case 1:
        return ParseEnableDigit(hit.value, state.SWModePolarity, settings.SWModePolarity,
                                "Invalid SWModePolarity (range 0-1)\n", console);
      case 2:
        return ParseEnableDigit(hit.value, state.RemoteWakeupEnable, settings.RemoteWakeupEnable,
                                "Invalid RemoteWakeupEnable (range 0-1)\n", console);
      case 3:
        return ParseEnableDigit(hit.value, state.SelfPower, settings.SelfPower,
                                "Invalid SelfPower (range 0-1)\n", console);
      default:
        if (CheckHex(hit.value, 10) != 0) {
          console.Error("Invalid ConfigFlags0Override, should be in the form '0xFFFFFFFF'\n");
          state.ConfigFlags0Override = KeyState::kInvalid;
          return -1;
        }
        settings.ConfigFlags0Override = HexValue(hit.value);
        settings.ConfigFlags0OverridePresent = 1;
        state.ConfigFlags0Override = KeyState::kValid;
        return 0;
    }
  };
  if (ReadSectionKeys(context.file, kKeys, read_key) != 0) return -1;

  // The whole word makes the four fields optional and unchecked.
  bool reported = false;
  if (state.ConfigFlags0Override == KeyState::kAbsent) {
    reported = ReportMissingOrAbove(
        context.file, console,
        {{"SWModeSuspendNSelect", state.SWModeSuspendNSelect, settings.SWModeSuspendNSelect, 3,
          "Invalid SWModeSuspendNSelect or out of range (0-3)\n"},
         {"SWModePolarity", state.SWModePolarity, settings.SWModePolarity, 1,
          "Invalid value for SWModePolarity(range 0-1)\n"},
         {"RemoteWakeupEnable", state.RemoteWakeupEnable, settings.RemoteWakeupEnable, 1,
          "Invalid value for RemoteWakeupEnable(range 0-1)\n"},
         {"SelfPower", state.SelfPower, settings.SelfPower, 1,
          "Invalid value for SelfPower(range 0-1)\n"}});
  }
  return FinishSection(reported, state.*entry.present);
}

int HandleOtpConfig(IniSectionContext& context, const IniSectionEntry& entry) {
  const int result = HandleHexSection(context, entry);
  if (context.file.failed()) return -1;
  const uint32_t signature = context.settings.OtpSignature;
  if (signature != 0 && signature != kOtpSignatureLower && signature != kOtpSignatureUpper &&
      signature != kOtpSwitchOff) {
    context.console.Error("Invalid OtpSignature, should be '0xF3' or '0xF7'\n");
    return -1;
  }
  return result;
}
