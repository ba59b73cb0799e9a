// identity_checks.cpp - the checks of the INI file's CurrentMacAddress and CurrentSerialNumber.
#include "app/identity_checks.h"

#include <algorithm>

#include "common/exit_codes.h"
#include "format/mac_text.h"

namespace {

constexpr uint8_t kGroupBit = 0x01;  // of the first octet: a multicast (or broadcast) address

bool UsableByABoard(const MacAddress& mac) {
  const bool zero = std::all_of(mac.begin(), mac.end(), [](uint8_t b) { return b == 0; });
  return !zero && (mac[0] & kGroupBit) == 0;
}

}  // namespace

int CheckIniIdentity(const DeviceSettings& settings, const char* ini_name, bool stepping,
                     Console& console) {
  if (settings.CurrentMacAddressPresent != 0) {
    const std::string current = MacAddressText(settings.CurrentMacAddress);
    if (!UsableByABoard(settings.CurrentMacAddress)) {
      console.Error(
          "CurrentMacAddress %s of %s is a multicast, broadcast or all-zero address, which no "
          "board may have: correct it; nothing was programmed\n",
          current.c_str(), ini_name);
      return kExitModifyFailed;
    }
    if (stepping && settings.CurrentMacAddress > settings.MaximumMacAddress) {
      console.Error(
          "The MAC address range of %s is used up (CurrentMacAddress %s is above "
          "MaximumMacAddress %s): give it a new range; nothing was programmed\n",
          ini_name, current.c_str(), MacAddressText(settings.MaximumMacAddress).c_str());
      return kExitModifyFailed;
    }
  }
  if (stepping && settings.CurrentSerialNumber && settings.MaximumSerialNumber &&
      *settings.CurrentSerialNumber > *settings.MaximumSerialNumber) {
    console.Error(
        "The serial number range of %s is used up (CurrentSerialNumber %s is above "
        "MaximumSerialNumber %s): give it a new range; nothing was programmed\n",
        ini_name, settings.CurrentSerialNumber->c_str(), settings.MaximumSerialNumber->c_str());
    return kExitModifyFailed;
  }
  return 0;
}
