// ini_checks.cpp - checks on the loaded settings as a whole: the GPIO wake cross-check and the
// validation that runs before an image is built from the INI file.
#include "config/ini_loader.h"
#include "config/ini_section.h"

namespace {

constexpr int kGpioCount = 12;
constexpr uint32_t kConfigFlags0LpmBit = 0x4;
constexpr uint32_t kUsb2ExtLpmBit = 0x2;

}  // namespace

int CheckGpioWake(const DeviceSettings& settings, Console& console) {
  for (int gpio = 0; gpio < kGpioCount; ++gpio) {
    const unsigned bit = 1u << gpio;
    if ((settings.GPIOWake & bit) == 0) continue;
    if ((settings.GPIOEnable & bit) == 0) {
      console.Error(
          "When GPIOWake is enabled for perticular GPIO the GPIOEnable need to be set for that "
          "GPIO\n");
      return -1;
    }
    if ((settings.GPIODirection & bit) != 0) {
      console.Error(
          "When GPIOWake is enabled for perticular GPIO the GPIODirection need to be set as "
          "Input for that GPIO\n");
      return -1;
    }
  }
  return 0;
}

int ValidateIniSections(const DeviceSettings& settings, const IniState& state, Console& console) {
  int result = 0;
  for (const IniSectionEntry& section : IniSectionTable()) {
    if (section.present != nullptr && !(state.*section.present)) {
      console.Error("Missing %s section in the ini file\n", section.name);
      result = -1;
    }
  }
  if (settings.USB2ExtAttributesPresent == 0) return result;

  const bool usb2_lpm = (settings.USB2ExtAttributes & kUsb2ExtLpmBit) != 0;
  if (settings.ConfigFlags0OverridePresent != 0) {
    if (((settings.ConfigFlags0Override & kConfigFlags0LpmBit) != 0) != usb2_lpm) {
      console.Error(
          "The LPM setting in the ConfigFlags0Override and LPM setting in USB2ExtAttributes do "
          "not match\n");
      return -1;
    }
  } else if (!usb2_lpm) {
    console.Error(
        "By default LPM is set. This LMP setting do not match with the USB2ExtAttributes LPM "
        "setting\n");
    return -1;
  }
  return result;
}
