// image_identity.cpp - the identity patch of a file image, for the EEPROM and the OTP alike.
#include "app/image_identity.h"

#include "config/stepping/identity_patch.h"

int PatchSettingsIdentity(const RunState& run, ImageBuffer& image, Console& console) {
  const DeviceSettings& settings = run.settings;
  if (settings.CurrentMacAddressPresent == 0 && !settings.CurrentSerialNumber) return 0;
  const MacAddress* mac =
      settings.CurrentMacAddressPresent != 0 ? &settings.CurrentMacAddress : nullptr;
  return PatchImageIdentity(image.bytes, &image.length, mac, settings.CurrentSerialNumber,
                            run.eeprom_size, console);
}
