// main_flow.cpp - one run: banner, command line, control device, chip, one operation, exit code.
#include "app/main_flow.h"

#include <cstring>
#include <memory>

#include "app/banner.h"
#include "app/chip_identity.h"
#include "app/command_parser.h"
#include "app/configuration_stage.h"
#include "app/direct_access_operations.h"
#include "app/firmware_options.h"
#include "app/programming_sequence.h"
#include "common/exit_codes.h"
#include "driver/adapter_info.h"
#include "phy/cable_diagnostics.h"

namespace {

// Opens the driver's control device, or prints why it could not be opened.
bool OpenControlDevice(DeviceIo& device, Console& console) {
  uint32_t error = 0;
  if (device.Open(kControlDevicePath, &error)) return true;
  if (error == kErrorFileNotFound) {
    console.Error("CreateFile failed!  Device Not Found\n");
  } else if (error == kErrorAccessDenied) {
    console.Print(
        "Open File QNT5200_IOCTL Failed! You don't have enough access right, try to run this "
        "application as Administrator");
  } else {
    console.Printf("CreateFile failed!  errNum = %d\n", static_cast<int>(error));
  }
  return false;
}

// Runs the one operation of a run whose chip is known. Returns the exit code. A station reads
// nothing else, so an operation that did not do its work never ends with 0; its messages say why.
int Dispatch(Platform& platform, Driver& driver, const CommandOptions& options, RunState& run,
             UserFileLock& ini_lock, char file_base[kFileBaseSize]) {
  const uint32_t operation = options.Operation;
  bool done = false;
  if (operation == kOpGetInfo) {
    done = GetAdapterInformation(driver, options.GetSelector);
  } else if (operation == kOpSetLinkState) {
    done = SetDriverLinkState(driver, options.LinkStateUp != 0);
  } else if (operation == kOpCableDiagnostics) {
    done = RunCableDiagnostics(driver, platform.clock);
  } else if (operation >= kOpFirmwareFirst && operation <= kOpFirmwareLast) {
    done = RunFirmwareStage(driver, options);
  } else if (const DirectAccessOperation* access = FindDirectAccess(operation)) {
    done = RunDirectAccess(driver, {.target = access->target,
                                    .write = access->write,
                                    .address = options.Address,
                                    .value = options.Value});
  } else {
    return RunProgrammingSequence(platform, driver, options, run, ini_lock, file_base);
  }
  return done ? kExitSuccess : kExitOperationFailed;
}

// Everything after parsing. The device, once opened, is closed on every path.
int RunOperation(Platform& platform, const CommandOptions& options, RunState& run,
                 UserFileLock& ini_lock, const RequestWords& words) {
  Driver driver(platform.device, platform.console, words);
  char file_base[kFileBaseSize] = {};

  if (options.ImageFileName.IsSet()) {
    if (IdentifyChipModel(options, &run.chip, platform.console) != 0) return kExitNoDevice;
    return Dispatch(platform, driver, options, run, ini_lock, file_base);
  }

  if (!OpenControlDevice(platform.device, platform.console)) return kExitNoDevice;
  int exit_code = IdentifyChip(driver, &run.chip);
  if (exit_code == 0) {
    std::memcpy(file_base, run.chip.name, std::strlen(run.chip.name));
    exit_code = Dispatch(platform, driver, options, run, ini_lock, file_base);
  }
  platform.device.Close();
  return exit_code;
}

// The command line's errors and the configuration file's are told as parameter errors; an INI
// file the run may not step is refused as such.
int ParameterError(int code, Console& console) {
  if (code != kExitModifyFailed) console.Error("Parameter Error (use -h for help)\n");
  return code;
}

}  // namespace

int RunMain(int argc, char** argv, Platform& platform) {
  const uint32_t started_ms = platform.clock.GetTickCount();
  auto options = std::make_unique<CommandOptions>();
  PrintBanner(platform.console);

  RequestWords words;
  ParseTarget target{*options, words, platform.console};
  const int parsed = ParseCommandLine(argc, argv, target);
  if (parsed == kParseUsageShown) return kExitSuccess;
  if (parsed != 0) return ParameterError(parsed, platform.console);

  auto run = std::make_unique<RunState>();
  run->started_ms = started_ms;
  UserFileLock ini_lock;  // held until the next board's values are written back
  if (const int loaded = LoadConfiguration(*options, *run, ini_lock, platform.console)) {
    return ParameterError(loaded, platform.console);
  }
  return RunOperation(platform, *options, *run, ini_lock, words);
}
