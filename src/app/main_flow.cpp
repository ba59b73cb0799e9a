// main_flow.cpp - one run: banner, command line, control device, chip, one operation, exit code.
#include "app/main_flow.h"

#include <cstring>
#include <memory>

#include "app/banner.h"
#include "app/chip_identity.h"
#include "app/command_parser.h"
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
int Dispatch(Platform& platform, Driver& driver, CommandOptions& options, IniState& ini,
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
    return RunProgrammingSequence(platform, driver, options, ini, ini_lock, file_base);
  }
  return done ? kExitSuccess : kExitOperationFailed;
}

// Everything after parsing. The device, once opened, is closed on every path.
int RunOperation(Platform& platform, CommandOptions& options, IniState& ini, UserFileLock& ini_lock,
                 const RequestWords& words) {
  Driver driver(platform.device, platform.console, words);
  char file_base[kFileBaseSize] = {};

  if (options.ImageFileName.IsSet()) {
    if (IdentifyChipModel(options, platform.console) != 0) return kExitNoDevice;
    return Dispatch(platform, driver, options, ini, ini_lock, file_base);
  }

  if (!OpenControlDevice(platform.device, platform.console)) return kExitNoDevice;
  int exit_code = IdentifyChip(driver, options);
  if (exit_code == 0) {
    std::memcpy(file_base, options.ChipName, std::strlen(options.ChipName));
    exit_code = Dispatch(platform, driver, options, ini, ini_lock, file_base);
  }
  platform.device.Close();
  return exit_code;
}

}  // namespace

int RunMain(int argc, char** argv, Platform& platform) {
  auto options = std::make_unique<CommandOptions>();
  PrintBanner(platform.console);

  RequestWords words;
  IniState ini;
  UserFileLock ini_lock;  // held until the next board's values are written back
  ParseTarget target{*options, words, ini, platform.console, &ini_lock};
  const int parsed = ParseCommandLine(argc, argv, target);
  if (parsed == kParseUsageShown) return kExitSuccess;
  // An INI file the run may not step is refused as such, not as a command-line error.
  if (parsed != 0 && parsed != kExitModifyFailed) {
    platform.console.Error("Parameter Error (use -h for help)\n");
  }
  if (parsed != 0) return parsed;
  return RunOperation(platform, *options, ini, ini_lock, words);
}
