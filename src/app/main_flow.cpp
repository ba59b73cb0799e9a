// main_flow.cpp - one run: banner, command line, control device, chip, one operation, exit code.
#include "app/main_flow.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/banner.h"
#include "app/chip_identity.h"
#include "app/command_parser.h"
#include "app/configuration_stage.h"
#include "app/control_device.h"
#include "app/direct_access_operations.h"
#include "app/error_watch_console.h"
#include "app/firmware_options.h"
#include "app/programming_sequence.h"
#include "app/results_document.h"
#include "app/routed_console.h"
#include "app/run_results.h"
#include "common/exit_codes.h"
#include "driver/adapter_info.h"
#include "phy/cable_diagnostics.h"

namespace {

// One register, PHY, PCI configuration or PCIe PHY access, kept in |results|.
bool AccessDirectly(Driver& driver, const DirectAccessOperation& access,
                    const CommandOptions& options, RunResults& results) {
  const DirectAccessRequest request{.target = access.target,
                                    .write = access.write,
                                    .address = options.Address,
                                    .value = options.Value};
  RegisterAccessRecord& record = results.registers.emplace_back(
      RegisterAccessRecord{.target = access.target, .write = access.write});
  // What goes to the driver: 16-bit configuration offsets and PCIe PHY addresses and values.
  const bool narrow_location = access.target == DirectAccessTarget::kPciConfig ||
                               access.target == DirectAccessTarget::kPciePhy;
  record.offset = narrow_location ? options.Address & 0xFFFF : options.Address;
  record.value =
      access.target == DirectAccessTarget::kPciePhy ? options.Value & 0xFFFF : options.Value;
  return RunDirectAccess(driver, request, &record.result);
}

// The operations that are one call each. Returns whether the operation did its work, or nothing
// when |options| asks for a programming run.
std::optional<bool> RunSingleOperation(Platform& platform, Driver& driver,
                                       const CommandOptions& options, RunResults& results) {
  const uint32_t operation = options.Operation;
  if (operation == kOpGetInfo) {
    return GetAdapterInformation(driver, options.GetSelector, &results.information.emplace());
  }
  if (operation == kOpSetLinkState) {
    const bool up = options.LinkStateUp != 0;
    if (!SetDriverLinkState(driver, up)) return false;
    results.driver_link_up = up;
    return true;
  }
  if (operation == kOpCableDiagnostics) {
    return RunCableDiagnostics(driver, platform.clock, &results.cable.emplace());
  }
  if (operation >= kOpFirmwareFirst && operation <= kOpFirmwareLast) {
    return RunFirmwareStage(driver, options, &results.firmware.emplace());
  }
  if (const DirectAccessOperation* access = FindDirectAccess(operation)) {
    return AccessDirectly(driver, *access, options, results);
  }
  return std::nullopt;
}

// Runs the one operation of a run whose chip is known. Returns the exit code. A station reads
// nothing else, so an operation that did not do its work never ends with 0; its messages say why.
int Dispatch(Platform& platform, Driver& driver, const CommandOptions& options, RunState& run,
             RunFiles files, RunResults& results) {
  if (const std::optional<bool> done = RunSingleOperation(platform, driver, options, results)) {
    return *done ? kExitSuccess : kExitOperationFailed;
  }
  return RunProgrammingSequence(platform, driver, options, run, files, results);
}

// Everything after parsing. The device, once opened, is closed on every path.
int RunOperation(Platform& platform, const CommandOptions& options, RunState& run,
                 UserFileLock& ini_lock, const RequestWords& words, RunResults& results) {
  Driver driver(platform.device, platform.console, words);
  char file_base[kFileBaseSize] = {};
  const RunFiles files{.ini_lock = ini_lock, .file_base = file_base};

  if (options.ImageFileName.IsSet()) {
    if (IdentifyChipModel(options, &run.chip, platform.console) != 0) return kExitNoDevice;
    results.chip = run.chip;
    return Dispatch(platform, driver, options, run, files, results);
  }

  if (!OpenControlDevice(platform.device, platform.console)) return kExitNoDevice;
  int exit_code = IdentifyChip(driver, &run.chip);
  if (exit_code != 0 && driver.last_exchange_error() == kErrorFileNotFound) {
    HintMissingAdapter(platform.device, words, platform.console);
  }
  if (exit_code == 0) {
    results.chip = run.chip;
    std::memcpy(file_base, run.chip.name, std::strlen(run.chip.name));
    exit_code = Dispatch(platform, driver, options, run, files, results);
  }
  platform.device.Close();
  return exit_code;
}

// The command line's errors and the configuration file's are told as parameter errors.
int ParameterError(int code, Console& console) {
  console.Error("%s\n", kParameterErrorText);
  return code;
}

// A run whose command line was read: the configuration file, then the operation.
int RunParsed(Platform& platform, const CommandOptions& options, const RequestWords& words,
              uint32_t started_ms, RunResults& results) {
  auto run = std::make_unique<RunState>();
  run->started_ms = started_ms;
  UserFileLock ini_lock;  // held until the next board's values are written back
  ErrorWatchConsole loading(platform.console);
  if (const int loaded = LoadConfiguration(options, *run, ini_lock, loading)) {
    results.cause = ConfigurationFailure(loading.messages(), run->ini);
    return ParameterError(loaded, platform.console);
  }
  return RunOperation(platform, options, *run, ini_lock, words, results);
}

}  // namespace

int RunMain(int argc, char** argv, Platform& platform) {
  const uint32_t started_ms = platform.clock.GetTickCount();
  // With -a the text goes to standard error; the document alone to standard output.
  RoutedConsole routed(platform.console);
  ErrorWatchConsole console(routed);
  Platform run_platform{console, platform.device, platform.clock, platform.network};
  auto options = std::make_unique<CommandOptions>();
  PrintBanner(console);

  RequestWords words;
  ParseTarget target{*options, words, console};
  const int parsed = ParseCommandLine(argc, argv, target);
  // A command line that was not read chose nothing to report on: no document then.
  routed.Route(options->JsonResults);
  if (parsed == kParseUsageShown) return kExitSuccess;
  if (parsed != 0) return ParameterError(parsed, console);

  RunResults results = ResultsOf(*options, words);
  const int exit_code = RunParsed(run_platform, *options, words, started_ms, results);
  if (options->JsonResults) {
    const std::string document = ResultsDocument(results, exit_code, console.messages());
    platform.console.Write(document.data(), document.size());
  }
  return exit_code;
}
