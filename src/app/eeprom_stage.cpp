// eeprom_stage.cpp - the EEPROM stage of a programming run: the size settled, then -r or -w with
// the image taken from a binary file (the board's MAC address and serial number patched in) or
// built from the INI file, written once the board's identity is set aside.
#include "app/eeprom_stage.h"

#include <cstring>

#include "app/identity_reservation.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "config/stepping/identity_patch.h"
#include "driver/driver_operations.h"
#include "nvm/eeprom_program.h"
#include "nvm/eeprom_read.h"

namespace {

EepromJob JobOf(const CommandOptions& options, const uint8_t* image, WriteGate* gate = nullptr) {
  return {.eeprom_size = options.EepromSize,
          .file_name = options.BinaryFileName.get(),
          .image = image,
          .image_length = options.ImageLength,
          .gate = gate};
}

StepResult SaveEeprom(Driver& driver, const CommandOptions& options, char* file_base) {
  switch (ReadEeprom(driver, JobOf(options, nullptr), file_base)) {
    case EepromSaveResult::kSaved:
      return {};
    case EepromSaveResult::kFailed:
      break;
  }
  return {.exit_code = kExitEepromReadFailed, .stop = true};
}

// An oversized file is refused before anything is patched into it.
int ReadImageFile(CommandOptions& options, uint8_t* image, Console& console) {
  if (!LoadEepromImageFile(options.BinaryFileName.get(), image, &options.ImageLength, console)) {
    return kExitProgramFailed;
  }
  if (!EepromImageFits(JobOf(options, image), console)) return kExitProgramFailed;

  const DeviceSettings& settings = options.Settings;
  if (settings.CurrentMacAddressPresent == 0 && !settings.CurrentSerialNumber) return 0;
  const MacAddress* mac =
      settings.CurrentMacAddressPresent != 0 ? &settings.CurrentMacAddress : nullptr;
  if (PatchImageIdentity(image, &options.ImageLength, mac, settings.CurrentSerialNumber,
                         options.EepromSize, console) != 0) {
    console.Error("Modifying EEPROM image failed.\n");
    return kExitModifyFailed;
  }
  return 0;
}

int BuildImageFromIni(CommandOptions& options, const IniState& ini, uint8_t* image,
                      Console& console) {
  if (ValidateIniSections(options.Settings, ini, console) != 0) {
    console.Error("Validated ini file failed\n");
    return kExitProgramFailed;
  }
  const ImageTarget target{.chip_id = options.ChipId(), .size = options.EepromSize};
  if (BuildEepromImage(options.Settings, target, image, &options.ImageLength, console) != 0) {
    console.Error("Generated EEPROM file failed\n");
    return kExitProgramFailed;
  }
  return 0;
}

// Obtains the image into |image| (kImageBufferSize bytes), writes |options.EepromSize| bytes of it
// and verifies |options.ImageLength| bytes. Returns the exit code: 0, 9 or 10.
int WriteEeprom(Driver& driver, CommandOptions& options, const IniState& ini, uint8_t* image,
                IdentityReservation* reservation) {
  Console& console = driver.console();
  std::memset(image, 0, kImageBufferSize);
  int result = 0;
  if (options.BinaryFileName.IsSet()) {
    result = ReadImageFile(options, image, console);
  } else if (options.IniFileName.IsSet()) {
    result = BuildImageFromIni(options, ini, image, console);
  }
  if (result != 0) return result;
  if (ProgramEeprom(driver, JobOf(options, image, reservation))) return 0;
  return reservation != nullptr && reservation->refused() ? kExitModifyFailed : kExitProgramFailed;
}

}  // namespace

int SettleEepromSize(Driver& driver, CommandOptions& options) {
  // The probe belongs to runs that name an image file along with -r or -w, which the command
  // line refuses; every other run keeps 512.
  const bool read_or_write = options.Operation == kOpRead || options.Operation == kOpWrite;
  if (!options.ImageFileName.IsSet() || !read_or_write || options.OtpMode != 0) return 0;
  if (!EepromSizeProbe(driver, &options.EepromSize)) return kExitEepromReadFailed;
  return 0;
}

StepResult RunEepromStage(Driver& driver, CommandOptions& options, IniState& ini,
                          char file_base[kFileBaseSize], ProgrammedImage* programmed,
                          IdentityReservation* reservation) {
  if (options.Operation == kOpRead) return SaveEeprom(driver, options, file_base);
  if (options.Operation != kOpWrite) return {};

  uint8_t image[kImageBufferSize] = {};
  const int written = WriteEeprom(driver, options, ini, image, reservation);
  if (programmed != nullptr) {
    std::memcpy(programmed->bytes, image, sizeof image);
    programmed->length = options.ImageLength;
  }
  if (written != 0) return {.exit_code = written, .stop = true};
  return {.exit_code = 0, .stop = false};
}
