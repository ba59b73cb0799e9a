// programming_sequence.cpp - the stages of a programming run, each of which may end it.
#include "app/programming_sequence.h"

#include "app/image_file.h"
#include "app/network_stage.h"
#include "app/otp_image_output.h"
#include "app/otp_stage.h"
#include "app/record_stage.h"
#include "common/exit_codes.h"
#include "phy/link_mode.h"

namespace {

// The EEPROM or OTP stage, or offline generation of an EEPROM or OTP image file.
StepResult RunMemoryStage(Platform& platform, Driver& driver, CommandOptions& options,
                          IniState& ini, char file_base[kFileBaseSize],
                          ProgrammedImage* programmed) {
  const bool otp = options.OtpMode == 1;
  if (options.Operation == kOpRead || options.Operation == kOpWrite) {
    return otp ? RunOtpStage(driver, options, ini, file_base, programmed)
               : RunEepromStage(driver, options, ini, file_base, programmed);
  }
  if (options.ImageFileName.IsSet() && options.IniFileName.IsSet()) {
    const int generated = otp ? GenerateOtpImageFile(options, ini, platform.console)
                              : GenerateImageFile(options, ini, platform.console);
    return {.exit_code = generated, .stop = true};
  }
  return {};
}

int RunStages(Platform& platform, Driver& driver, CommandOptions& options, IniState& ini,
              char file_base[kFileBaseSize], ProgrammedImage* programmed) {
  if (!options.ImageFileName.IsSet()) {
    if (const int size_error = SettleEepromSize(driver, options)) return size_error;
  }

  int exit_code = 0;
  const StepResult memory = RunMemoryStage(platform, driver, options, ini, file_base, programmed);
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

int RunProgrammingSequence(Platform& platform, Driver& driver, CommandOptions& options,
                           IniState& ini, char file_base[kFileBaseSize]) {
  if (!options.RecordFileName.IsSet()) {
    return RunStages(platform, driver, options, ini, file_base, nullptr);
  }
  BoardIdentity identity;
  UserFileLock record_lock;  // held until the line is appended
  if (const int refused = CheckBoardRecord(options, platform.console, &identity, &record_lock)) {
    return refused;
  }
  ProgrammedImage programmed;
  const int exit_code = RunStages(platform, driver, options, ini, file_base, &programmed);
  return RecordBoard(options, identity, programmed, driver.words().adapter_index, exit_code,
                     platform.console);
}
