// ini_checks.cpp - checks on the loaded settings as a whole: the GPIO wake cross-check and the
// validation that runs before an image is built from the INI file.
#include <optional>
#include <string>

#include "config/ini_loader.h"
#include "config/ini_section.h"

namespace {

constexpr int kGpioCount = 12;
constexpr uint32_t kConfigFlags0LpmBit = 0x4;
constexpr uint32_t kUsb2ExtLpmBit = 0x2;

// Two keys whose values contradict each other: the message the check prints, and the key the
// hint points at with what its value contradicts.
struct KeyConflict {
  const char* message;
  const char* key;
  std::string detail;
};

std::optional<KeyConflict> GpioWakeConflict(const DeviceSettings& settings) {
  for (int gpio = 0; gpio < kGpioCount; ++gpio) {
    const unsigned bit = 1u << gpio;
    if ((settings.GPIOWake & bit) == 0) continue;
    const std::string wakes = "wakes GPIO " + std::to_string(gpio);
    if ((settings.GPIOEnable & bit) == 0) {
      return KeyConflict{
          "When GPIOWake is enabled for perticular GPIO the GPIOEnable need to be set for that "
          "GPIO\n",
          "GPIOWake", wakes + ", which GPIOEnable leaves off"};
    }
    if ((settings.GPIODirection & bit) != 0) {
      return KeyConflict{
          "When GPIOWake is enabled for perticular GPIO the GPIODirection need to be set as "
          "Input for that GPIO\n",
          "GPIOWake", wakes + ", which GPIODirection makes an output"};
    }
  }
  return std::nullopt;
}

std::optional<KeyConflict> LpmConflict(const DeviceSettings& settings) {
  if (settings.USB2ExtAttributesPresent == 0) return std::nullopt;
  const bool usb2_lpm = (settings.USB2ExtAttributes & kUsb2ExtLpmBit) != 0;
  if (settings.ConfigFlags0OverridePresent != 0) {
    if (((settings.ConfigFlags0Override & kConfigFlags0LpmBit) != 0) == usb2_lpm) {
      return std::nullopt;
    }
    return KeyConflict{
        "The LPM setting in the ConfigFlags0Override and LPM setting in USB2ExtAttributes do "
        "not match\n",
        "ConfigFlags0Override", "sets LPM otherwise than USB2ExtAttributes"};
  }
  if (usb2_lpm) return std::nullopt;
  return KeyConflict{
      "By default LPM is set. This LMP setting do not match with the USB2ExtAttributes LPM "
      "setting\n",
      "USB2ExtAttributes", "turns LPM off, which is on without ConfigFlags0Override"};
}

int Report(const std::optional<KeyConflict>& conflict, Console& console) {
  if (!conflict) return 0;
  console.Error("%s", conflict->message);
  return -1;
}

}  // namespace

int CheckGpioWake(const DeviceSettings& settings, Console& console) {
  return Report(GpioWakeConflict(settings), console);
}

int ValidateIniSections(const DeviceSettings& settings, const IniState& state, Console& console) {
  int result = 0;
  for (const IniSectionEntry& section : IniSectionTable()) {
    if (section.present != nullptr && !(state.*section.present)) {
      console.Error("Missing %s section in the ini file\n", section.name);
      result = -1;
    }
  }
  return Report(LpmConflict(settings), console) != 0 ? -1 : result;
}

std::vector<IniProblem> IniKeyConflicts(const DeviceSettings& settings, const IniState& state) {
  std::vector<IniProblem> problems;
  for (const auto& conflict : {GpioWakeConflict(settings), LpmConflict(settings)}) {
    if (conflict) problems.push_back(IniConflict(state, conflict->key, conflict->detail));
  }
  return problems;
}
