// ini_source_checks.cpp - the checks of the INI file that a write from it meets first.
#include "app/ini_source_checks.h"

#include "app/ini_hints.h"
#include "common/exit_codes.h"
#include "config/ini_loader.h"
#include "format/otp_form.h"
#include "platform/user_file.h"

int ValidateIniImageSource(const RunState& run, bool otp, Console& console) {
  if (ValidateIniSections(run.settings, run.ini, console) == 0) return 0;
  console.Error(otp ? "Validatition of ini file failed\n" : "Validated ini file failed\n");
  PrintIniSectionHints(run.settings, run.ini, console);
  return otp ? kExitOtpProgramFailed : kExitProgramFailed;
}

int CheckIniSource(const CommandOptions& options, const RunState& run, Console& console) {
  if (options.Operation != kOpWrite || !options.IniFileName.IsSet()) return 0;
  const bool otp = options.OtpMode;
  // Switching the OTP off builds no image; it is judged on the OTP's state alone.
  const bool builds_image =
      !options.BinaryFileName.IsSet() && !(otp && run.settings.OtpSignature == kOtpSwitchOff);
  if (builds_image) {
    if (const int invalid = ValidateIniImageSource(run, otp, console)) return invalid;
  }
  const char* name = options.IniFileName.get();
  if (options.SteppingEnabled && !run.ini_writable) {
    console.Error(
        "The file %s cannot be written, so the next board's values could not be saved in it: "
        "make it writable; nothing was programmed\n",
        name);
    return kExitModifyFailed;
  }
  if (options.SteppingEnabled && UserFileNameCount(name) > 1) {
    console.Error(
        "The file %s has other names (hard links), which stepping would leave holding the values "
        "handed out already: keep one name and remove the others; nothing was programmed\n",
        name);
    return kExitModifyFailed;
  }
  return 0;
}
