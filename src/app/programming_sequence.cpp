// programming_sequence.cpp - the stages of a programming run, each of which may end it.
#include "app/programming_sequence.h"

#include "app/error_watch_console.h"
#include "app/identity_reservation.h"
#include "app/image_file.h"
#include "app/network_stage.h"
#include "app/otp_image_output.h"
#include "app/otp_stage.h"
#include "common/exit_codes.h"
#include "phy/link_mode.h"

namespace {

// The EEPROM or OTP stage, or offline generation of an EEPROM or OTP image file.
StepResult RunMemoryStage(Platform& platform, Driver& driver, const CommandOptions& options,
                          const RunState& run, char file_base[kFileBaseSize],
                          ImageBuffer* programmed, IdentityReservation* reservation) {
  const bool otp = options.OtpMode;
  if (options.Operation == kOpRead || options.Operation == kOpWrite) {
    return otp ? RunOtpStage(driver, options, run, file_base, programmed, reservation)
               : RunEepromStage(driver, options, run, file_base, programmed, reservation);
  }
  if (options.ImageFileName.IsSet() && options.IniFileName.IsSet()) {
    const int generated = otp ? GenerateOtpImageFile(options, run, platform.console)
                              : GenerateImageFile(options, run, platform.console);
    return {.exit_code = generated, .stop = true};
  }
  return {};
}

// A save path that is not a regular file (a device would swallow the contents, a pipe hold the
// run) is refused before the memory is read, with the message of a save that failed.
int CheckSavePath(const CommandOptions& options, Console& console) {
  if (options.Operation != kOpRead || !options.BinaryFileName.IsSet()) return 0;
  const char* name = options.BinaryFileName.get();
  if (CanReplaceUserFile(name)) return 0;
  console.Error("ERROR::Failed to create/open %s\n", name);
  return kExitEepromReadFailed;
}

int RunStages(Platform& platform, Driver& driver, const CommandOptions& options, RunState& run,
              char file_base[kFileBaseSize], ImageBuffer* programmed,
              IdentityReservation* reservation) {
  if (!options.ImageFileName.IsSet()) {
    if (const int size_error = SettleEepromSize(driver, options, &run.eeprom_size)) {
      return size_error;
    }
  }

  int exit_code = 0;
  const StepResult memory =
      RunMemoryStage(platform, driver, options, run, file_base, programmed, reservation);
  if (reservation != nullptr) {
    const StepResult told = reservation->AfterWrite(memory.exit_code == 0 && !memory.stop);
    if (told.stop && !memory.stop) return told.exit_code;
  }
  if (memory.stop) return memory.exit_code;
  if (memory.exit_code != 0) exit_code = memory.exit_code;

  LinkModeOutcome link;
  if (options.LinkModeGiven && options.LinkMode > 0 &&
      options.NetworkTest != kNetworkTestLoopback) {
    const LinkModeResult result = SetLinkMode(driver, platform.clock, options.LinkMode, &link);
    // A refused mode ends the run; a link that stays down lets it go on.
    if (result == LinkModeResult::kRequestFailed) return kExitLinkModeFailed;
    if (result == LinkModeResult::kNoLink) exit_code = kExitLinkModeFailed;
  }
  const int network = RunNetworkStage(platform, driver, options, link);
  if (network >= 0) exit_code = network;
  return exit_code;
}

}  // namespace

int RunProgrammingSequence(Platform& platform, Driver& driver, const CommandOptions& options,
                           RunState& run, UserFileLock& ini_lock, char file_base[kFileBaseSize]) {
  if (options.Operation != kOpWrite) {
    if (const int refused = CheckSavePath(options, platform.console)) return refused;
    return RunStages(platform, driver, options, run, file_base, nullptr, nullptr);
  }
  // The record keeps the first error of a run that did not succeed.
  ErrorWatchConsole console(platform.console);
  Platform watched{console, platform.device, platform.clock, platform.network};
  Driver watched_driver(platform.device, console, driver.words());
  IdentityReservation reservation(options, ini_lock, watched_driver.words().adapter_index, console,
                                  platform.clock);
  if (const int refused = reservation.Prepare(watched_driver, run)) return refused;
  ImageBuffer programmed;
  const int exit_code =
      RunStages(watched, watched_driver, options, run, file_base, &programmed, &reservation);
  return reservation.Close(programmed, exit_code);
}
