// programming_sequence.cpp - the stages of a programming run, each of which may end it.
#include "app/programming_sequence.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/error_watch_console.h"
#include "app/identity_reservation.h"
#include "app/image_file.h"
#include "app/network_stage.h"
#include "app/otp_image_output.h"
#include "app/otp_stage.h"
#include "app/write_summary.h"
#include "common/exit_codes.h"
#include "config/ini_loader.h"
#include "format/otp_form.h"
#include "phy/link_mode.h"
#include "platform/user_file.h"

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
  if (!CanReplaceUserFile(name)) {
    console.Error("ERROR::Failed to create/open %s\n", name);
    std::string reason = "not a regular file";
    uint8_t byte = 0;
    size_t count = 0;
    ReadUserFile(name, &byte, 1, &count, &reason);
    console.Diagnostic("%s: %s\n", name, reason.c_str());
    return kExitEepromReadFailed;
  }
  // A line's INI file holds the next board's identity: a save over it would lose the range.
  std::string text;
  if (ReadWholeUserFile(name, kMaxIniFileBytes, &text) && HoldsIniSection(text, "[MacAddress]")) {
    console.Error(
        "The file %s is an INI description of a board (it has a [MacAddress] section); the %s "
        "is not saved over it: name another file with -b\n",
        name, options.OtpMode ? "OTP" : "EEPROM");
    return kExitProgramFailed;
  }
  return 0;
}

// What the memory stage did, for the results. |programmed| and |reservation| are a write's; a
// write refused before the board has no image.
void RecordMemoryStage(const CommandOptions& options, const RunState& run, const char* file_base,
                       const ImageBuffer* programmed, const IdentityReservation* reservation,
                       const StepResult& memory, RunResults& results) {
  const bool done = memory.exit_code == 0;
  if (options.Operation != kOpRead && options.Operation != kOpWrite) {
    if (!options.ImageFileName.IsSet() || !options.IniFileName.IsSet()) return;
    results.image_file = {
        .otp = options.OtpMode, .file = options.ImageFileName.get(), .written = done};
    return;
  }
  MemoryRecord& record = results.memory.emplace(
      MemoryRecord{.otp = options.OtpMode, .operation = options.Operation, .done = done});
  const OwnedText& named =
      options.BinaryFileName.IsSet() ? options.BinaryFileName : options.IniFileName;
  if (options.Operation == kOpRead) {
    record.file = options.BinaryFileName.IsSet() ? options.BinaryFileName.get() : file_base;
    record.bytes = run.eeprom_size;
    return;
  }
  record.file = named.IsSet() ? named.get() : "";
  record.switch_off = options.OtpMode && !options.BinaryFileName.IsSet() &&
                      run.settings.OtpSignature == kOtpSwitchOff;
  if (programmed != nullptr && programmed->length > 0) {
    const int32_t crc_length = std::min<int32_t>(programmed->length, kImageBufferSize);
    record.image = ImageSummary{
        .length = programmed->length,
        .crc32 = Crc32(programmed->bytes, static_cast<size_t>(crc_length)),
        .signature = programmed->bytes[0],
    };
  }
  if (reservation != nullptr) {
    record.mac_address = reservation->identity().mac_address;
    record.serial_number = reservation->identity().serial_number;
    record.written = reservation->sent();
  }
  record.done = done && !memory.stop;
  if (record.switch_off) record.done = done;
}

int RunStages(Platform& platform, Driver& driver, const CommandOptions& options, RunState& run,
              char file_base[kFileBaseSize], ImageBuffer* programmed,
              IdentityReservation* reservation, RunResults& results) {
  if (!options.ImageFileName.IsSet()) {
    if (const int size_error = SettleEepromSize(driver, options, &run.eeprom_size)) {
      return size_error;
    }
  }

  int exit_code = 0;
  const StepResult memory =
      RunMemoryStage(platform, driver, options, run, file_base, programmed, reservation);
  RecordMemoryStage(options, run, file_base, programmed, reservation, memory, results);
  if (reservation != nullptr) {
    const bool programmed_board = memory.exit_code == 0 && !memory.stop;
    const StepResult told = reservation->AfterWrite(programmed_board);
    if (programmed_board && programmed != nullptr && programmed->length > 0) {
      const WriteFacts facts{.adapter = driver.words().adapter_index,
                             .chip = &run.chip,
                             .otp = options.OtpMode,
                             .identity = &reservation->identity(),
                             .image = programmed};
      platform.console.Printf("Programmed: %s\n", DescribeWrite(facts, run.settings).c_str());
    }
    if (told.stop && !memory.stop) return told.exit_code;
  }
  if (memory.stop) return memory.exit_code;
  if (memory.exit_code != 0) exit_code = memory.exit_code;

  LinkModeOutcome link;
  if (options.LinkModeGiven && options.LinkMode > 0 &&
      options.NetworkTest != kNetworkTestLoopback) {
    const LinkModeResult result = SetLinkMode(driver, platform.clock, options.LinkMode, &link);
    results.link_mode = {
        .requested = options.LinkMode, .result = result, .link_state = link.link_state};
    // A refused mode ends the run; a link that stays down lets it go on.
    if (result == LinkModeResult::kRequestFailed) return kExitLinkModeFailed;
    if (result == LinkModeResult::kNoLink) exit_code = kExitLinkModeFailed;
  }
  const int network = RunNetworkStage(platform, driver, options, link, results);
  if (network >= 0) exit_code = network;
  return exit_code;
}

}  // namespace

int RunProgrammingSequence(Platform& platform, Driver& driver, const CommandOptions& options,
                           RunState& run, RunFiles files, RunResults& results) {
  char* file_base = files.file_base;
  if (options.Operation != kOpWrite) {
    if (const int refused = CheckSavePath(options, platform.console)) return refused;
    return RunStages(platform, driver, options, run, file_base, nullptr, nullptr, results);
  }
  // The record keeps the first error of a run that did not succeed.
  ErrorWatchConsole console(platform.console);
  Platform watched{console, platform.device, platform.clock, platform.network};
  Driver watched_driver(platform.device, console, driver.words());
  IdentityReservation reservation(options, files.ini_lock, watched_driver.words().adapter_index,
                                  console, platform.clock);
  if (const int refused = reservation.Prepare(watched_driver, run)) {
    const StepResult refusal{.exit_code = refused, .stop = true};
    RecordMemoryStage(options, run, file_base, nullptr, &reservation, refusal, results);
    return refused;
  }
  ImageBuffer programmed;
  const int exit_code = RunStages(watched, watched_driver, options, run, file_base, &programmed,
                                  &reservation, results);
  return reservation.Close(programmed, exit_code);
}
