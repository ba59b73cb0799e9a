// otp_stage.cpp - one OTP job: the OTP's state judged first, then the image obtained (from a
// file in either form with the board's identity patched in, or built from the INI file), the
// operator's answer, the board's identity set aside, the write and its read-back.
#include "app/otp_stage.h"

#include "app/identity_reservation.h"
#include "app/image_identity.h"
#include "app/ini_source_checks.h"
#include "app/text_console.h"
#include "app/write_summary.h"
#include "common/chip_table.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "nvm/memory_save.h"
#include "nvm/otp_image_file.h"
#include "nvm/otp_program.h"
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

StepResult SaveOtp(Driver& driver, const CommandOptions& options, const RunState& run,
                   char* file_base) {
  switch (SaveMemory(driver, true, run.eeprom_size, options.BinaryFileName.get(), file_base)) {
    case MemorySaveResult::kSaved:
      return {};
    case MemorySaveResult::kNamedFileFailed:
      return Stop(kExitEepromReadFailed);
    case MemorySaveResult::kFailed:
      break;
  }
  return Stop(kExitOtpReadFailed);
}

int ImageFromFile(const CommandOptions& options, const RunState& run, const OtpJob& job,
                  ImageBuffer& image, Console& console) {
  if (!ReadOtpImageFile(options.BinaryFileName.get(), image.bytes, &image.length, console)) {
    return kExitOtpProgramFailed;
  }
  if (PatchSettingsIdentity(run, image, console) != 0) {
    console.Error("Modifying OTP image failed.\n");
    return kExitModifyFailed;
  }
  if (ValidateOtpFileImage(job, image.bytes, console) != 0) {
    console.Error("OTP Binary image validation failed\n");
    return kExitOtpProgramFailed;
  }
  return 0;
}

int ImageFromIni(const RunState& run, OtpJob& job, ImageBuffer& image, Console& console) {
  if (const int invalid = ValidateIniImageSource(run, true, console)) return invalid;
  if (ValidateOtpSettings(job, console) != 0) {
    console.Error("Validation of OTP settings failed\n");
    return kExitOtpProgramFailed;
  }
  // The check may have settled the signature the settings left to the tool.
  DeviceSettings settings = run.settings;
  settings.OtpSignature = job.signature;
  const bool known = FindChip(run.chip.ChipId()) != nullptr;
  if (!known) console.Error("Invalid chip\n");
  const ImageTarget target{.chip_id = run.chip.ChipId(), .size = run.eeprom_size};
  if (!known ||
      BuildImage(settings, target, image.bytes, kImageKindOtp, &image.length, console) != 0) {
    console.Error("Generate OTP image failed\n");
    return kExitOtpProgramFailed;
  }
  return 0;
}

// An OTP that holds the beginning of the very image this run would write there (a run died
// between its writes, or before it told its outcome) gets that image again, which completes it;
// any other is judged as the next write it is. |job| and |image| are then the completing write's.
bool CompletesEarlierWrite(const CommandOptions& options, const RunState& run, const uint8_t* otp,
                           OtpJob& job, ImageBuffer& image, Console& console) {
  const uint8_t signature = otp[0];
  const bool from_file = options.BinaryFileName.IsSet();
  if (signature != kOtpSignatureLower && signature != kOtpSignatureUpper) return false;
  if (!from_file && job.signature != 0 && job.signature != signature) return false;
  OtpJob completing = job;
  if (!from_file) completing.signature = signature;
  completing.used_bytes = signature == kOtpSignatureUpper ? kOtpHalf : 0;
  TextConsole quiet;  // an image that cannot be made here is the ordinary path's to report
  ImageBuffer candidate;
  const int obtained = from_file ? ImageFromFile(options, run, completing, candidate, quiet)
                                 : ImageFromIni(run, completing, candidate, quiet);
  if (obtained != 0 || !OtpHoldsBeginningOf(otp, job.size, candidate.bytes, candidate.length)) {
    return false;
  }
  console.Print("The OTP holds the beginning of this image: it is written again to complete it\n");
  job = completing;
  image = candidate;
  return true;
}

StepResult ProgramOtp(Driver& driver, const CommandOptions& options, const RunState& run,
                      ImageBuffer* programmed, IdentityReservation* reservation) {
  Console& console = driver.console();
  const bool from_file = options.BinaryFileName.IsSet();
  OtpJob job{.signature = run.settings.OtpSignature,
             .confirmed = options.OtpWriteConfirmed,
             .size = run.eeprom_size,
             .gate = reservation};
  // Switching off belongs to the INI image alone: a file image is judged as the write it is, so
  // that it never lands on an OTP already in use.
  if (from_file && job.signature == kOtpSwitchOff) job.signature = 0;

  uint8_t otp[kImageBufferSize] = {};
  if (!ReadOtpContents(driver, job.size, otp)) return Stop(kExitOtpReadFailed);
  ImageBuffer image;
  if (!CompletesEarlierWrite(options, run, otp, job, image, console)) {
    const OtpResult space = JudgeOtpSpace(otp, job, console);
    if (space != OtpResult::kOk) return Stop(ExitCodeOf(space));
    // Switched off, the run ends at once, whatever else it was asked to do.
    if (!from_file && job.signature == kOtpSwitchOff) {
      return Stop(ExitCodeOf(SwitchOtpOff(driver)));
    }
    const int obtained = from_file ? ImageFromFile(options, run, job, image, console)
                                   : ImageFromIni(run, job, image, console);
    if (obtained != 0) return Stop(obtained);
  }

  std::string announcement;
  if (reservation != nullptr) {
    const WriteFacts facts{.adapter = driver.words().adapter_index,
                           .chip = &run.chip,
                           .otp = true,
                           .identity = &reservation->identity(),
                           .image = &image};
    announcement = "To be burned: " + DescribeWrite(facts, run.settings);
    job.announcement = announcement.c_str();
  }
  const OtpResult written = WriteOtpImage(driver, job, image.bytes, image.length);
  if (programmed != nullptr) *programmed = image;
  if (reservation != nullptr && reservation->refused()) return Stop(kExitModifyFailed);
  if (written != OtpResult::kOk) return Stop(ExitCodeOf(written));
  return {.exit_code = 0, .stop = false};
}

}  // namespace

StepResult RunOtpStage(Driver& driver, const CommandOptions& options, const RunState& run,
                       char file_base[kFileBaseSize], ImageBuffer* programmed,
                       IdentityReservation* reservation) {
  if (options.Operation == kOpRead) return SaveOtp(driver, options, run, file_base);
  if (options.Operation == kOpWrite) {
    return ProgramOtp(driver, options, run, programmed, reservation);
  }
  return {};
}
