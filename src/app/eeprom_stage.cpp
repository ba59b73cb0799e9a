// eeprom_stage.cpp - the EEPROM stage of a programming run: the size settled, then -r or -w, and
// after a good -w the stepping of the board identity with its write-back.
#include "app/eeprom_stage.h"

#include "app/stepping_save.h"
#include "config/image/image_layout.h"
#include "driver/driver_operations.h"
#include "nvm/eeprom_program.h"
#include "nvm/eeprom_read.h"

namespace {

constexpr int kExitSizeProbeFailed = 5;

}  // namespace

int SettleEepromSize(Driver& driver, CommandOptions& options) {
  // The probe belongs to runs that name an image file along with -r or -w, which the command
  // line refuses; every other run keeps 512.
  const bool read_or_write = options.Operation == kOpRead || options.Operation == kOpWrite;
  if (!options.ImageFileName.IsSet() || !read_or_write || options.OtpMode != 0) return 0;
  if (!EepromSizeProbe(driver, &options.EepromSize)) return kExitSizeProbeFailed;
  return 0;
}

StepResult RunEepromStage(Driver& driver, CommandOptions& options, IniState& ini,
                          char file_base[kFileBaseSize]) {
  if (options.Operation == kOpRead) return ReadEeprom(driver, options, file_base);
  if (options.Operation != kOpWrite) return {};

  uint8_t image[kImageBufferSize] = {};
  const int programmed = ProgramEeprom(driver, options, ini, image);
  if (programmed != 0) return {.exit_code = programmed, .stop = true};
  if (options.SteppingEnabled) {
    const int saved = SaveSteppedIdentity(options, image, driver.console());
    if (saved != 0) return {.exit_code = saved, .stop = true};
  }
  return {.exit_code = 0, .stop = false};
}
