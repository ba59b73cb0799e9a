// stepping_save.cpp - stepping with write-back, the last stage of programming one board.
#include "app/stepping_save.h"

#include <algorithm>
#include <cstring>

#include "common/exit_codes.h"
#include "config/image/image_layout.h"
#include "config/stepping/identity_patch.h"
#include "config/stepping/identity_step.h"
#include "config/stepping/ini_write_back.h"
#include "platform/user_file.h"

namespace {

constexpr int kUpperHalfFileBodyOffset = 0x101;

}  // namespace

int SaveSteppedIdentity(CommandOptions& options, uint8_t* image, Console& console) {
  DeviceSettings& settings = options.Settings;
  if (StepIdentity(settings, console) == 0) {
    console.Error("Couldn't increase any Mac or serial number.\n");
    return kExitModifyFailed;
  }
  const MacAddress* mac =
      settings.CurrentMacAddressPresent != 0 ? &settings.CurrentMacAddress : nullptr;
  if (PatchImageIdentity(image, &options.ImageLength, mac, settings.CurrentSerialNumber,
                         options.EepromSize, console) != 0) {
    console.Error("Modified EEPROM image failed.\n");
    return kExitModifyFailed;
  }

  // The identity came from the INI file whenever one was given, so that is where the next
  // board's values go; an image file given with it stays as it was.
  if (options.IniFileName.IsSet()) {
    if (UpdateIniFile(options.IniFileName.get(), settings, console) != 0) {
      console.Error("Failed to update ini file\n");
      return kExitModifyFailed;
    }
    console.Print("Updated ini file\n");
    return 0;
  }
  if (options.BinaryFileName.IsSet()) {
    const int32_t size = std::min<int32_t>(options.EepromSize, kMaxImageBytes);
    uint8_t file_bytes[kMaxImageBytes] = {};
    if (options.OtpMode != 0 && image[0] == kOtpUpperHalfSignature) {
      file_bytes[0] = image[0];
      std::memcpy(file_bytes + kUpperHalfFileBodyOffset, image + 1,
                  static_cast<size_t>(size - kUpperHalfFileBodyOffset));
    } else {
      std::memcpy(file_bytes, image, static_cast<size_t>(size));
    }
    const char* name = options.BinaryFileName.get();
    if (ReplaceUserFile(name, file_bytes, static_cast<size_t>(size)) != ReplaceResult::kReplaced) {
      console.Error("Couldn't create file %s\n", name);
      return kExitModifyFailed;
    }
  }
  return 0;
}
