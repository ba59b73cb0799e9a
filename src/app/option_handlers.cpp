// option_handlers.cpp - what each option letter does to the options record, and the table that
// maps letters to handlers. Adding an option is one handler and one row.
#include <cstring>

#include "app/firmware_options.h"
#include "app/hex_str_to_dword.h"
#include "app/parse_context.h"
#include "app/usage.h"
#include "phy/link_mode.h"

namespace {

constexpr ParseStep kBad = kExitBadParameters;

ParseStep Fail(ParseContext& context, const char* message) {
  context.console.Error("%s", message);
  return kBad;
}

// Copies a file name argument into |text|, or reports that it is missing.
ParseStep TakeFileName(ParseContext& context, OwnedText& text, const char* argument,
                       const char* missing) {
  if (argument == nullptr) return Fail(context, missing);
  if (!text.Assign(argument)) {
    context.console.Error("No enough memory\n");
    return kExitNoMemory;
  }
  return kKeepParsing;
}

constexpr char kOnlyOneFileOption[] = "Only one of options(-b, -i, -f) could be specified \n";
constexpr char kOnlyOneReadWrite[] = "Only one of options(-w, -r) could be specified \n";
constexpr char kOnlyOneOperation[] = "Only one of options could be specified\n";
constexpr char kOnlyOneOperationBlank[] = "Only one of options could be specified \n";
constexpr char kOnlyOneNetworkTest[] = "Only one of options(-p, -L) could be specified \n";
constexpr char kOutputCombined[] =
    "Option -o cannot be combined with -b, -s, -l, -p, -L or an operation option\n";

ParseStep OnBinaryFile(ParseContext& context, const char* argument) {
  if (argument == nullptr) return Fail(context, "No binary file name is specified after -b\n");
  if (context.options.IniFileName.IsSet()) return Fail(context, kOnlyOneFileOption);
  return TakeFileName(context, context.options.BinaryFileName, argument, "");
}

ParseStep OnIniFile(ParseContext& context, const char* argument) {
  if (argument == nullptr) return Fail(context, "No ini file name is specified after -i\n");
  if (context.options.FirmwareFileName.IsSet()) return Fail(context, kOnlyOneFileOption);
  return TakeFileName(context, context.options.IniFileName, argument, "");
}

ParseStep OnImageFile(ParseContext& context, const char* argument) {
  return TakeFileName(context, context.options.ImageFileName, argument,
                      "No image file name is specified after -o\n");
}

ParseStep OnChipModel(ParseContext& context, const char* argument) {
  return TakeFileName(context, context.options.ChipModelName, argument,
                      "Chip model should be specified after option -d\n");
}

ParseStep OnRecordFile(ParseContext& context, const char* argument) {
  return TakeFileName(context, context.options.RecordFileName, argument,
                      "No record file name is specified after -t\n");
}

ParseStep OnJsonResults(ParseContext& context, const char*) {
  context.options.JsonResults = true;
  return kKeepParsing;
}

ParseStep OnStepping(ParseContext& context, const char*) {
  context.options.SteppingEnabled = true;
  return kKeepParsing;
}

template <uint32_t kOperation>
ParseStep OnEepromOperation(ParseContext& context, const char*) {
  if (context.options.Operation != kOpNone) return Fail(context, kOnlyOneReadWrite);
  context.options.Operation = kOperation;
  return kKeepParsing;
}

// The eight direct accesses: the operation, then a hexadecimal location.
struct AccessOption {
  uint32_t operation;
  const char* already_set;
  const char* missing;
};

constexpr char kRegisterMissing[] = "Register address need to be specified\n";
constexpr char kPhyMissing[] = "Phy Register index need to be specified\n";

template <const AccessOption& kOption>
ParseStep OnAccess(ParseContext& context, const char* argument) {
  if (context.options.Operation != kOpNone) return Fail(context, kOption.already_set);
  context.options.Operation = kOption.operation;
  if (argument == nullptr) return Fail(context, kOption.missing);
  if (!HexStrToDword(argument, &context.options.Address, context.console)) return kBad;
  return kKeepParsing;
}

constexpr AccessOption kReadRegister{kOpReadRegister, kOnlyOneOperation, kRegisterMissing};
constexpr AccessOption kWriteRegister{kOpWriteRegister, kOnlyOneOperationBlank, kRegisterMissing};
constexpr AccessOption kReadPhy{kOpReadPhy, kOnlyOneOperationBlank, kPhyMissing};
constexpr AccessOption kWritePhy{kOpWritePhy, kOnlyOneOperationBlank, kPhyMissing};
constexpr AccessOption kReadPciConfig{kOpReadPciConfig, kOnlyOneOperation, kRegisterMissing};
constexpr AccessOption kWritePciConfig{kOpWritePciConfig, kOnlyOneOperationBlank, kRegisterMissing};
constexpr AccessOption kReadPciePhy{kOpReadPciePhy, kOnlyOneOperation, kRegisterMissing};
constexpr AccessOption kWritePciePhy{kOpWritePciePhy, kOnlyOneOperationBlank, kRegisterMissing};

ParseStep OnValue(ParseContext& context, const char* argument) {
  if (context.options.ValueGiven) return Fail(context, "Value already specified\n");
  if (argument == nullptr) return Fail(context, "Value missing\n");
  context.options.ValueGiven = true;
  if (!HexStrToDword(argument, &context.options.Value, context.console)) return kBad;
  return kKeepParsing;
}

ParseStep OnLinkMode(ParseContext& context, const char* argument) {
  context.options.LinkModeGiven = true;
  if (argument == nullptr) return Fail(context, "Link mode should be specified after option -l\n");
  for (const LinkModeEntry& link : kLinkModes) {
    if (std::strcmp(argument, link.option) == 0) {
      context.options.LinkMode = link.code;
      return kKeepParsing;
    }
  }
  return Fail(context, "Link mode should be 10hd, 10fd, 100hd,100fd or 1000fd\n");
}

ParseStep OnPing(ParseContext& context, const char* argument) {
  CommandOptions& options = context.options;
  if (options.LoopbackGiven) return Fail(context, kOnlyOneNetworkTest);
  options.NetworkTest = kNetworkTestPing;
  if (argument == nullptr) {
    return Fail(context, "Dest ip address should be specified after option -p\n");
  }
  // The address field holds 99 characters and its terminator; a longer text is no address.
  if (std::strlen(argument) >= sizeof options.DestinationAddress) {
    return Fail(context, "Dest ip address is too long\n");
  }
  std::strcpy(options.DestinationAddress, argument);
  options.PingAddressGiven = true;
  return kKeepParsing;
}

ParseStep OnLoopback(ParseContext& context, const char*) {
  if (context.options.NetworkTest == kNetworkTestPing) return Fail(context, kOnlyOneNetworkTest);
  context.options.NetworkTest = kNetworkTestLoopback;
  context.options.LoopbackGiven = true;
  return kKeepParsing;
}

ParseStep OnOtp(ParseContext& context, const char*) {
  context.options.OtpMode = true;
  return kKeepParsing;
}

ParseStep OnOtpConfirmation(ParseContext& context, const char* argument) {
  if (argument == nullptr) {
    return Fail(context, "-C option needs OTP write confirmation \"YES\"\n");
  }
  context.options.OtpWriteConfirmed = std::strncmp(argument, "YES", 3) == 0;
  return kKeepParsing;
}

ParseStep OnCableDiagnostics(ParseContext& context, const char*) {
  context.options.Operation = kOpCableDiagnostics;
  return kKeepParsing;
}

// -k and -G end parsing at once, so they refuse an earlier -o themselves.
ParseStep OnSetLinkState(ParseContext& context, const char* argument) {
  if (argument == nullptr) return Fail(context, "Set link state parameter needs to be specified\n");
  switch (argument[0]) {
    case 'D':
    case 'd':
      context.options.LinkStateUp = 0;
      break;
    case 'U':
    case 'u':
      context.options.LinkStateUp = 1;
      break;
    default:
      return Fail(context, "Invalid Set Link State parameter\n");
  }
  if (context.options.ImageFileName.IsSet()) return Fail(context, kOutputCombined);
  context.options.Operation = kOpSetLinkState;
  return 0;
}

ParseStep OnGetInformation(ParseContext& context, const char* argument) {
  if (argument == nullptr) return Fail(context, "Get parameter needs to be specified\n");
  if (argument[0] == '\0' || std::strchr("vblkpoeu", argument[0]) == nullptr) {
    return Fail(context, "Invalid Get parameter\n");
  }
  if (context.options.ImageFileName.IsSet()) return Fail(context, kOutputCombined);
  context.options.Operation = kOpGetInfo;
  context.options.GetSelector = static_cast<unsigned char>(argument[0]);
  return 0;
}

ParseStep OnHelp(ParseContext& context, const char*) {
  PrintUsage(context.program_name, context.console);
  return kParseUsageShown;
}

constexpr OptionRow kOptionTable[] = {
    {'b', OnBinaryFile},
    {'i', OnIniFile},
    {'o', OnImageFile},
    {'d', OnChipModel},
    {'s', OnStepping},
    {'t', OnRecordFile},
    {'a', OnJsonResults},
    {'w', OnEepromOperation<kOpWrite>},
    {'r', OnEepromOperation<kOpRead>},
    {'R', OnAccess<kReadRegister>},
    {'W', OnAccess<kWriteRegister>},
    {'y', OnAccess<kReadPhy>},
    {'Y', OnAccess<kWritePhy>},
    {'e', OnAccess<kReadPciConfig>},
    {'E', OnAccess<kWritePciConfig>},
    {'j', OnAccess<kReadPciePhy>},
    {'J', OnAccess<kWritePciePhy>},
    {'v', OnValue},
    {'l', OnLinkMode},
    {'p', OnPing},
    {'L', OnLoopback},
    {'O', OnOtp},
    {'C', OnOtpConfirmation},
    {'V', OnCableDiagnostics},
    {'k', OnSetLinkState},
    {'G', OnGetInformation},
    {'h', OnHelp},
    {'H', OnHelp},
    {'?', OnHelp},
    {'f', OnFirmwareFile},
    {'m', OnFirmwareMode},
};

}  // namespace

OptionHandler FindOptionHandler(int letter) {
  for (const OptionRow& row : kOptionTable) {
    if (row.letter == letter) return row.handler;
  }
  return nullptr;
}
