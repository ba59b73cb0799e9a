// final_checks.cpp - the checks that run once every argument was read, in their fixed order.
#include "app/direct_access_operations.h"
#include "app/firmware_options.h"
#include "app/parse_context.h"

namespace {

bool IsDirectRead(uint32_t operation) {
  const DirectAccessOperation* access = FindDirectAccess(operation);
  return access != nullptr && !access->write;
}

bool IsDirectWrite(uint32_t operation) {
  const DirectAccessOperation* access = FindDirectAccess(operation);
  return access != nullptr && access->write;
}

// Offline generation builds an image file and touches no device, so it takes no operation,
// no binary file and no link or network option.
int CheckImageOutput(ParseContext& context) {
  const CommandOptions& options = context.options;
  if (!options.ImageFileName.IsSet()) return 0;
  if (options.Operation != kOpNone || options.BinaryFileName.IsSet() || options.SteppingEnabled ||
      options.LinkModeGiven || options.NetworkTest != kNetworkTestNone || options.LoopbackGiven) {
    context.console.Error(
        "Option -o cannot be combined with -b, -s, -l, -p, -L or an operation option\n");
    return kExitBadParameters;
  }
  if (!options.IniFileName.IsSet()) {
    context.console.Error("Option -o needs an ini file (-i)\n");
    return kExitBadParameters;
  }
  return 0;
}

int CheckOptionCombinations(ParseContext& context) {
  const CommandOptions& options = context.options;
  Console& console = context.console;
  const bool image_output = options.ImageFileName.IsSet();

  if (options.OtpMode && options.Operation != kOpWrite && options.Operation != kOpRead &&
      !image_output) {
    console.Error("With -O option -w or -r option must be specified\n");
    return kExitBadParameters;
  }
  if (options.Operation == kOpNone && !options.LinkModeGiven &&
      options.NetworkTest != kNetworkTestPing && options.NetworkTest != kNetworkTestLoopback &&
      !image_output) {
    console.Error("One of options -w, -r, -l, -L, -p, -G, -k should be declared\n");
    return kExitNoOperation;
  }
  if (options.Operation == kOpWrite && !options.IniFileName.IsSet() &&
      !options.BinaryFileName.IsSet()) {
    console.Error("file name must be specified (-b binary file) after option -w\n");
    return kExitBadParameters;
  }
  if (options.LinkModeGiven && options.LinkMode == 0) {
    console.Error("link mode must specify (10hd/10fd/100hd/100fd/1000fd) after option -l\n");
    return kExitBadParameters;
  }
  if (options.NetworkTest == kNetworkTestPing && !options.PingAddressGiven) {
    console.Error("Destination ip must be specified after option -p\n");
    return kExitBadParameters;
  }
  if (options.SteppingEnabled && (options.Operation != kOpWrite || !options.IniFileName.IsSet())) {
    console.Error("Option -s needs options -w and -i\n");
    return kExitBadParameters;
  }
  if (options.RecordFileName.IsSet() && options.Operation != kOpWrite) {
    console.Error("Option -t needs option -w\n");
    return kExitBadParameters;
  }
  return 0;
}

}  // namespace

int RunFinalChecks(ParseContext& context) {
  const CommandOptions& options = context.options;
  if (const int image_check = CheckImageOutput(context)) return image_check;

  if (IsDirectRead(options.Operation) && options.ValueGiven) {
    context.console.Error("Invalid parameters: do not specify -v option\n");
    return kExitBadParameters;
  }
  if (IsDirectWrite(options.Operation) && !options.ValueGiven) {
    context.console.Error("Invalid parameters: need to specify -v option\n");
    return kExitBadParameters;
  }
  if (IsDirectRead(options.Operation) || IsDirectWrite(options.Operation)) return 0;

  if (const int combination = CheckOptionCombinations(context)) return combination;
  return CheckFirmwareOptions(context);
}
