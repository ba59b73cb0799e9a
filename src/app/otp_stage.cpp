// otp_stage.cpp - one OTP job: the OTP's state judged first, then the image obtained (from a
// file in either form with the board's identity patched in, or built from the INI file), the
// operator's answer, the board's identity set aside, the write and its read-back.
#include "app/otp_stage.h"

#include <cstring>

#include "app/identity_reservation.h"
#include "common/chip_table.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "config/stepping/identity_patch.h"
#include "nvm/otp_image_file.h"
#include "nvm/otp_program.h"
#include "nvm/otp_read.h"
#include "nvm/otp_space.h"

namespace {

StepResult Stop(int exit_code) { return {.exit_code = exit_code, .stop = true}; }

int ExitCodeOf(OtpResult result) {
  switch (result) {
    case OtpResult::kOk:
      return 0;
    case OtpResult::kReadFailed:
      return kExitOtpReadFailed;
    case OtpResult::kFailed:
      return kExitOtpProgramFailed;
    case OtpResult::kFull:
      return kExitOtpFull;
    case OtpResult::kNoRoom:
      return kExitNoOperation;
  }
  return kExitOtpProgramFailed;
}

StepResult SaveOtp(Driver& driver, const CommandOptions& options, char* file_base) {
  const char* name = options.BinaryFileName.IsSet() ? options.BinaryFileName.get() : nullptr;
  switch (ReadOtp(driver, options.EepromSize, name, file_base)) {
    case OtpSaveResult::kSaved:
      return {};
    case OtpSaveResult::kNamedFileFailed:
      return Stop(kExitEepromReadFailed);
    case OtpSaveResult::kFailed:
      break;
  }
  return Stop(kExitOtpReadFailed);
}

int ImageFromFile(CommandOptions& options, const OtpJob& job, uint8_t* image, Console& console) {
  if (!ReadOtpImageFile(options.BinaryFileName.get(), image, &options.ImageLength, console)) {
    return kExitOtpProgramFailed;
  }
  const DeviceSettings& settings = options.Settings;
  if (settings.CurrentMacAddressPresent != 0 || settings.CurrentSerialNumber) {
    const MacAddress* mac =
        settings.CurrentMacAddressPresent != 0 ? &settings.CurrentMacAddress : nullptr;
    if (PatchImageIdentity(image, &options.ImageLength, mac, settings.CurrentSerialNumber,
                           options.EepromSize, console) != 0) {
      console.Error("Modifying OTP image failed.\n");
      return kExitModifyFailed;
    }
  }
  if (ValidateOtpFileImage(job, image, console) != 0) {
    console.Error("OTP Binary image validation failed\n");
    return kExitOtpProgramFailed;
  }
  return 0;
}

int ImageFromIni(CommandOptions& options, const IniState& ini, OtpJob& job, uint8_t* image,
                 Console& console) {
  DeviceSettings& settings = options.Settings;
  if (ValidateIniSections(settings, ini, console) != 0) {
    console.Error("Validatition of ini file failed\n");
    return kExitOtpProgramFailed;
  }
  if (ValidateOtpSettings(job, console) != 0) {
    console.Error("Validation of OTP settings failed\n");
    return kExitOtpProgramFailed;
  }
  settings.OtpSignature = job.signature;
  const bool known = FindChip(options.ChipId()) != nullptr;
  if (!known) console.Error("Invalid chip\n");
  const ImageTarget target{.chip_id = options.ChipId(), .size = options.EepromSize};
  if (!known ||
      BuildImage(settings, target, image, kImageKindOtp, &options.ImageLength, console) != 0) {
    console.Error("Generate OTP image failed\n");
    return kExitOtpProgramFailed;
  }
  return 0;
}

StepResult ProgramOtp(Driver& driver, CommandOptions& options, const IniState& ini,
                      ProgrammedImage* programmed, IdentityReservation* reservation) {
  Console& console = driver.console();
  const bool from_file = options.BinaryFileName.IsSet();
  OtpJob job{.signature = options.Settings.OtpSignature,
             .confirmed = options.OtpWriteConfirmed == 1,
             .size = options.EepromSize,
             .gate = reservation};
  // Switching off belongs to the INI image alone: a file image is judged as the write it is, so
  // that it never lands on an OTP already in use.
  if (from_file && job.signature == kOtpSwitchOff) job.signature = 0;

  const OtpResult space = CheckOtpSpace(driver, job);
  options.OtpUsedBytes = job.used_bytes;
  if (space != OtpResult::kOk) return Stop(ExitCodeOf(space));

  uint8_t image[kImageBufferSize] = {};
  // Switched off, the run ends at once, whatever else it was asked to do.
  if (!from_file && job.signature == kOtpSwitchOff) return Stop(ExitCodeOf(SwitchOtpOff(driver)));
  const int obtained = from_file ? ImageFromFile(options, job, image, console)
                                 : ImageFromIni(options, ini, job, image, console);
  if (obtained != 0) return Stop(obtained);

  const OtpResult written = WriteOtpImage(driver, job, image, options.ImageLength);
  if (programmed != nullptr) {
    std::memcpy(programmed->bytes, image, sizeof image);
    programmed->length = options.ImageLength;
  }
  if (reservation != nullptr && reservation->refused()) return Stop(kExitModifyFailed);
  if (written != OtpResult::kOk) return Stop(ExitCodeOf(written));
  return {.exit_code = 0, .stop = false};
}

}  // namespace

StepResult RunOtpStage(Driver& driver, CommandOptions& options, const IniState& ini,
                       char file_base[kFileBaseSize], ProgrammedImage* programmed,
                       IdentityReservation* reservation) {
  if (options.Operation == kOpRead) return SaveOtp(driver, options, file_base);
  if (options.Operation == kOpWrite) {
    return ProgramOtp(driver, options, ini, programmed, reservation);
  }
  return {};
}
