// eeprom_program.cpp - programming the EEPROM: the image from a binary file (with the board's MAC
// address and serial number patched in) or built from the INI file, one block write, then the
// read-back.
#include "nvm/eeprom_program.h"

#include <cstdio>
#include <cstring>

#include "config/image/image_builder.h"
#include "config/image/image_layout.h"
#include "config/ini_loader.h"
#include "config/stepping/identity_patch.h"
#include "driver/driver_operations.h"

namespace {

constexpr int kExitProgramFailed = 9;
constexpr int kExitPatchFailed = 10;

bool TooLong(const CommandOptions& options, Console& console) {
  if (options.ImageLength <= options.EepromSize) return false;
  console.Error("The size of binary file is greater than eeprom size\n");
  return true;
}

int ReadImageFile(CommandOptions& options, uint8_t* image, Console& console) {
  const char* name = options.BinaryFileName.get();
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    console.Error("No file %s was found\n", name);
    return kExitProgramFailed;
  }
  options.ImageLength = static_cast<int32_t>(std::fread(image, 1, kImageBufferSize, file));
  std::fclose(file);
  // An oversized file is refused before anything is patched into it.
  if (TooLong(options, console)) return kExitProgramFailed;

  const DeviceSettings& settings = options.Settings;
  if (settings.CurrentMacAddressPresent == 0 && !settings.CurrentSerialNumber) return 0;
  const MacAddress* mac =
      settings.CurrentMacAddressPresent != 0 ? &settings.CurrentMacAddress : nullptr;
  if (PatchImageIdentity(image, &options.ImageLength, mac, settings.CurrentSerialNumber,
                         options.EepromSize, console) != 0) {
    console.Error("Modifying EEPROM image failed.\n");
    return kExitPatchFailed;
  }
  return 0;
}

int BuildImageFromIni(CommandOptions& options, const IniState& ini, uint8_t* image,
                      Console& console) {
  if (ValidateIniSections(options.Settings, ini, console) != 0) {
    console.Error("Validated ini file failed\n");
    return kExitProgramFailed;
  }
  if (BuildEepromImage(options.Settings, options, image, console) != 0) {
    console.Error("Generated EEPROM file failed\n");
    return kExitProgramFailed;
  }
  return 0;
}

}  // namespace

int ProgramEeprom(Driver& driver, CommandOptions& options, const IniState& ini, uint8_t* image) {
  Console& console = driver.console();
  std::memset(image, 0, kImageBufferSize);
  int result = 0;
  if (options.BinaryFileName.IsSet()) {
    result = ReadImageFile(options, image, console);
  } else if (options.IniFileName.IsSet()) {
    result = BuildImageFromIni(options, ini, image, console);
  }
  if (result != 0) return result;
  if (TooLong(options, console)) return kExitProgramFailed;

  if (!E2P_WRITE_BLOCK(driver, static_cast<uint16_t>(options.EepromSize), image)) {
    console.Print("Failed to program device eeprom\n");
    return kExitProgramFailed;
  }
  if (VerifyEeprom(driver, image, options.ImageLength) != 0) {
    console.Error("Failed to verify device eeprom\n");
    return kExitProgramFailed;
  }
  console.Printf("The current device EEPROM was programmed with %d bytes\n", options.ImageLength);
  return 0;
}
