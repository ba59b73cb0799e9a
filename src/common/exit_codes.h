// exit_codes.h - every process exit code of the utility, one name per code. The run stages in
// src/app choose them; the layers below report their own results.
#pragma once

constexpr int kExitSuccess = 0;
// The control device not opened, register 0 not read, not a chip of the family, or an unknown
// chip model for offline generation.
constexpr int kExitNoDevice = 1;
// Command-line errors: out of memory, bad parameters, and no operation chosen (or the GPIO wake
// cross-check failed; also an OTP without room for the image).
constexpr int kExitNoMemory = 2;
constexpr int kExitBadParameters = 3;
constexpr int kExitNoOperation = -1;
// The link mode not set, or no link after setting it.
constexpr int kExitLinkModeFailed = 4;
// The EEPROM not read or not saved, or its size probe failed; also the save file named for an
// OTP read not created.
constexpr int kExitEepromReadFailed = 5;
// A register, PHY, information, link-state, cable-test or firmware operation did not do its work:
// a request failed, its file is missing or unusable, a read-back differs, the cable test aborted
// or could not test a pair, or the board was not put back as it was found.
constexpr int kExitOperationFailed = 6;
constexpr int kExitPingFailed = 7;
constexpr int kExitLoopbackFailed = 8;
// EEPROM programming or verification failed, the input file missing, the configuration file
// invalid, or the image not generated.
constexpr int kExitProgramFailed = 9;
// The image not modified, the identity not stepped or written back, or the generated file not
// written.
constexpr int kExitModifyFailed = 10;
// The OTP not read, or its contents not saved.
constexpr int kExitOtpReadFailed = 11;
// OTP programming, verification or validation failed.
constexpr int kExitOtpProgramFailed = 12;
// The OTP takes no further image.
constexpr int kExitOtpFull = 13;

// A short meaning of each exit code, for summaries and machine-readable results; the README's
// table says the same at length.
constexpr const char* ExitCodeMeaning(int code) {
  switch (code) {
    case kExitSuccess:
      return "success";
    case kExitNoDevice:
      return "no device";
    case kExitNoMemory:
      return "out of memory";
    case kExitBadParameters:
      return "bad parameters";
    case kExitNoOperation:
      return "no operation";
    case kExitLinkModeFailed:
      return "link mode failed";
    case kExitEepromReadFailed:
      return "EEPROM read failed";
    case kExitOperationFailed:
      return "operation failed";
    case kExitPingFailed:
      return "ping failed";
    case kExitLoopbackFailed:
      return "loopback failed";
    case kExitProgramFailed:
      return "EEPROM programming failed";
    case kExitModifyFailed:
      return "identity or image modification failed";
    case kExitOtpReadFailed:
      return "OTP read failed";
    case kExitOtpProgramFailed:
      return "OTP programming failed";
    case kExitOtpFull:
      return "OTP full";
    default:
      return "unknown exit code";
  }
}
