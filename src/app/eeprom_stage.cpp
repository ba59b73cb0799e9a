// eeprom_stage.cpp - the EEPROM stage of a programming run: the size settled, then -r or -w with
// the image taken from a binary file (the board's MAC address and serial number patched in) or
// built from the INI file, written once the board's identity is set aside.
#include "app/eeprom_stage.h"

#include "app/identity_reservation.h"
#include "app/image_identity.h"
#include "app/ini_source_checks.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "driver/driver_operations.h"
#include "format/image_decode.h"
#include "nvm/eeprom_program.h"
#include "nvm/memory_save.h"

namespace {

EepromJob JobOf(const RunState& run, const ImageBuffer* image, WriteGate* gate = nullptr) {
  return {.eeprom_size = run.eeprom_size,
          .image = image != nullptr ? image->bytes : nullptr,
          .image_length = image != nullptr ? image->length : 0,
          .gate = gate};
}

StepResult SaveEeprom(Driver& driver, const CommandOptions& options, const RunState& run,
                      char* file_base) {
  if (SaveMemory(driver, false, run.eeprom_size, options.BinaryFileName.get(), file_base) ==
      MemorySaveResult::kSaved) {
    return {};
  }
  return {.exit_code = kExitEepromReadFailed, .stop = true};
}

// Any file is programmed as it is; one that is no EEPROM image of this family (the wrong file
// picked, a text file) is named as such on standard error, so that the log says what went out.
void DescribeForeignImage(const char* name, const ImageBuffer& image, Console& console) {
  const auto size = static_cast<size_t>(image.length);
  const DecodedImage decoded = DecodeImageFile(image.bytes, size);
  if (decoded.form == ImageForm::kEeprom && image.length >= kImageHeadSize) return;
  console.Diagnostic("%s: no EEPROM image of this family: ", name);
  if (image.length < kImageHeadSize) {
    console.Diagnostic("%d bytes, fewer than the %d of an image's head", image.length,
                       kImageHeadSize);
  } else if (decoded.form == ImageForm::kOtpLowerHalf || decoded.form == ImageForm::kOtpUpperHalf) {
    console.Diagnostic("an OTP image file (signature 0x%02X)", image.bytes[0]);
  } else {
    console.Diagnostic("its first byte is 0x%02X, not the signature 0x%02X", image.bytes[0],
                       kEepromImageSignature);
  }
  console.Diagnostic("; its %d bytes are programmed as they are\n", image.length);
}

// An oversized file is refused before anything is patched into it.
int ReadImageFile(const CommandOptions& options, const RunState& run, ImageBuffer& image,
                  Console& console) {
  if (!LoadEepromImageFile(options.BinaryFileName.get(), image.bytes, &image.length, console)) {
    return kExitProgramFailed;
  }
  if (image.length > 0) DescribeForeignImage(options.BinaryFileName.get(), image, console);
  if (!EepromImageFits(JobOf(run, &image), console)) return kExitProgramFailed;
  if (PatchSettingsIdentity(run, image, console) != 0) {
    console.Error("Modifying EEPROM image failed.\n");
    return kExitModifyFailed;
  }
  return 0;
}

int BuildImageFromIni(const RunState& run, ImageBuffer& image, Console& console) {
  if (const int invalid = ValidateIniImageSource(run, false, console)) return invalid;
  const ImageTarget target{.chip_id = run.chip.ChipId(), .size = run.eeprom_size};
  if (BuildEepromImage(run.settings, target, image.bytes, &image.length, console) != 0) {
    console.Error("Generated EEPROM file failed\n");
    return kExitProgramFailed;
  }
  return 0;
}

// Obtains |image|, writes |run.eeprom_size| bytes of it and verifies its length. Returns the exit
// code: 0, 9 or 10.
int WriteEeprom(Driver& driver, const CommandOptions& options, const RunState& run,
                ImageBuffer& image, IdentityReservation* reservation) {
  Console& console = driver.console();
  image = ImageBuffer{};
  int result = 0;
  if (options.BinaryFileName.IsSet()) {
    result = ReadImageFile(options, run, image, console);
  } else if (options.IniFileName.IsSet()) {
    result = BuildImageFromIni(run, image, console);
  }
  if (result != 0) return result;
  if (ProgramEeprom(driver, JobOf(run, &image, reservation))) return 0;
  return reservation != nullptr && reservation->refused() ? kExitModifyFailed : kExitProgramFailed;
}

}  // namespace

int SettleEepromSize(Driver& driver, const CommandOptions& options, int32_t* eeprom_size) {
  // The probe belongs to runs that name an image file along with -r or -w, which the command
  // line refuses; every other run keeps 512.
  const bool read_or_write = options.Operation == kOpRead || options.Operation == kOpWrite;
  if (!options.ImageFileName.IsSet() || !read_or_write || options.OtpMode) return 0;
  if (!EepromSizeProbe(driver, eeprom_size)) return kExitEepromReadFailed;
  return 0;
}

StepResult RunEepromStage(Driver& driver, const CommandOptions& options, const RunState& run,
                          char file_base[kFileBaseSize], ImageBuffer* programmed,
                          IdentityReservation* reservation) {
  if (options.Operation == kOpRead) return SaveEeprom(driver, options, run, file_base);
  if (options.Operation != kOpWrite) return {};

  ImageBuffer image;
  const int written = WriteEeprom(driver, options, run, image, reservation);
  if (programmed != nullptr) *programmed = image;
  if (written != 0) return {.exit_code = written, .stop = true};
  return {.exit_code = 0, .stop = false};
}
