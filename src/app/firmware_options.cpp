// firmware_options.cpp - -f and -m, their final check, and the stage that hands the file and the
// mode to the PHY microcontroller download.
#include "app/firmware_options.h"

#include <cstring>

#include "common/exit_codes.h"
#include "phy/firmware_download.h"
#include "phy/firmware_file.h"

namespace {

struct FirmwareModeWord {
  const char* word;
  uint32_t operation;
  FirmwareMode mode;
};

constexpr FirmwareModeWord kFirmwareModes[] = {
    {.word = "load", .operation = 12, .mode = FirmwareMode::kLoad},
    {.word = "verify", .operation = 13, .mode = FirmwareMode::kVerify},
    {.word = "reset", .operation = 14, .mode = FirmwareMode::kResetAndLoad},
    {.word = "param", .operation = 15, .mode = FirmwareMode::kParameters},
};

constexpr uint32_t kDefaultFirmwareOperation = kOpFirmwareFirst;

bool IsFirmwareOperation(uint32_t operation) {
  return operation >= kOpFirmwareFirst && operation <= kOpFirmwareLast;
}

ParseStep Fail(ParseContext& context, const char* message) {
  context.console.Error("%s", message);
  return kExitBadParameters;
}

}  // namespace

ParseStep OnFirmwareFile(ParseContext& context, const char* argument) {
  CommandOptions& options = context.options;
  if (argument == nullptr) return Fail(context, "No firmware file name is specified after -f\n");
  if (options.BinaryFileName.IsSet() || options.IniFileName.IsSet()) {
    return Fail(context, "Only one of options(-b, -i, -f) could be specified \n");
  }
  if (options.Operation != kOpNone)
    return Fail(context, "Only one of options could be specified\n");
  if (!options.FirmwareFileName.Assign(argument)) {
    context.console.Error("No enough memory\n");
    return kExitNoMemory;
  }
  options.Operation =
      options.FirmwareOperation != kOpNone ? options.FirmwareOperation : kDefaultFirmwareOperation;
  return kKeepParsing;
}

ParseStep OnFirmwareMode(ParseContext& context, const char* argument) {
  CommandOptions& options = context.options;
  if (argument == nullptr) {
    return Fail(context, "Firmware mode should be specified after option -m\n");
  }
  for (const FirmwareModeWord& mode : kFirmwareModes) {
    if (std::strcmp(argument, mode.word) != 0) continue;
    options.FirmwareOperation = mode.operation;
    // An -f before this option chose the default mode; a later operation letter (-V) wins.
    if (IsFirmwareOperation(options.Operation)) options.Operation = mode.operation;
    return kKeepParsing;
  }
  return Fail(context, "Firmware mode should be load, verify, reset or param\n");
}

int CheckFirmwareOptions(ParseContext& context) {
  const CommandOptions& options = context.options;
  if (options.FirmwareOperation != kOpNone && !options.FirmwareFileName.IsSet()) {
    context.console.Error("Firmware mode needs a firmware file (-f)\n");
    return kExitBadParameters;
  }
  return 0;
}

bool RunFirmwareStage(Driver& driver, const CommandOptions& options, FirmwareRecord* record) {
  FirmwareMode mode = FirmwareMode::kLoad;
  record->mode = kFirmwareModes[0].word;
  for (const FirmwareModeWord& entry : kFirmwareModes) {
    if (entry.operation != options.Operation) continue;
    mode = entry.mode;
    record->mode = entry.word;
  }
  record->file = options.FirmwareFileName.get();
  FirmwareFile file;
  if (!ReadFirmwareFile(options.FirmwareFileName.get(), mode, driver.console(), &file)) {
    return false;
  }
  record->bytes = file.length;
  return DownloadFirmware(driver, mode, file.bytes.get(), file.length);
}
