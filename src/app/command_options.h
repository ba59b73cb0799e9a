// command_options.h - the options record: what the command line chose, for one run. The parser
// fills it; from then on it is read only (what the run learns later is in run_state.h).
#pragma once

#include <cstdint>

#include "common/owned_text.h"

enum OperationCode : uint32_t {
  kOpNone = 0,
  kOpWrite = 1,
  kOpRead = 2,
  kOpReadRegister = 5,
  kOpWriteRegister = 6,
  kOpReadPhy = 7,
  kOpWritePhy = 8,
  kOpGetInfo = 9,
  kOpSetLinkState = 10,
  kOpCableDiagnostics = 11,
  kOpFirmwareFirst = 12,
  kOpFirmwareLast = 15,
  kOpReadPciConfig = 18,
  kOpWritePciConfig = 19,
  kOpReadPciePhy = 20,
  kOpWritePciePhy = 21,
};

enum NetworkTestCode : int32_t {
  kNetworkTestNone = 0,
  kNetworkTestPing = 1,
  kNetworkTestLoopback = 3,
};

constexpr int32_t kDefaultEepromSize = 512;
constexpr int kDestinationAddressSize = 100;

struct CommandOptions {
  OwnedText FirmwareFileName;
  OwnedText BinaryFileName;
  OwnedText IniFileName;
  OwnedText ImageFileName;
  OwnedText ChipModelName;
  OwnedText RecordFileName;  // -t: the per-board record, one CSV line per -w run

  uint32_t Operation = kOpNone;
  // The firmware operation chosen with -m (12 to 15), 0 when -m was not given.
  uint32_t FirmwareOperation = kOpNone;
  int32_t GetSelector = 0;
  uint32_t LinkStateUp = 0;

  bool LinkModeGiven = false;
  int32_t LinkMode = 0;
  int32_t NetworkTest = kNetworkTestNone;

  uint32_t Address = 0;
  uint32_t Value = 0;
  bool ValueGiven = false;

  bool OtpMode = false;
  bool OtpWriteConfirmed = false;  // -C YES

  bool PingAddressGiven = false;
  bool LoopbackGiven = false;
  char DestinationAddress[kDestinationAddressSize] = {};

  bool SteppingEnabled = false;
  // -a: the run's results as one JSON document on standard output, its text on standard error.
  bool JsonResults = false;
};
