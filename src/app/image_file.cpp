// image_file.cpp - offline generation: the EEPROM image built from the configuration file is
// written to an image file, with no device opened.
#include "app/image_file.h"

#include "app/ini_source_checks.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "format/otp_form.h"
#include "platform/user_file.h"

int CheckGenerationSource(const CommandOptions& options, const RunState& run, Console& console) {
  // Writing the image file would replace the configuration it is built from.
  if (SameUserFile(options.ImageFileName.get(), options.IniFileName.get())) {
    console.Error("The image file %s is the ini file %s; nothing was written\n",
                  options.ImageFileName.get(), options.IniFileName.get());
    return kExitModifyFailed;
  }
  return ValidateIniImageSource(run, false, console);
}

int GenerateImageFile(const CommandOptions& options, const RunState& run, Console& console) {
  const int checked = CheckGenerationSource(options, run, console);
  if (checked != 0) return checked;
  ImageBuffer image;
  DeviceSettings settings = run.settings;
  if (settings.OtpSignature == 0) settings.OtpSignature = kOtpSignatureLower;
  const ImageTarget target{.chip_id = run.chip.ChipId(), .size = run.eeprom_size};
  if (BuildEepromImage(settings, target, image.bytes, &image.length, console) != 0) {
    console.Error("Generating EEPROM image failed\n");
    return kExitProgramFailed;
  }

  const char* name = options.ImageFileName.get();
  // Checked before anything is written: a file that is refused keeps what it held.
  if (image.length > kMaxImageBytes) {
    console.Print(
        "Binary EEPROM image file generated is greater than Max EEPROM (512 bytes) size\n");
    return kExitModifyFailed;
  }
  if (ReplaceUserFile(name, image.bytes, static_cast<size_t>(image.length)) !=
      ReplaceResult::kReplaced) {
    console.Error("Couldn't create file %s\n", name);
    return kExitModifyFailed;
  }
  console.Printf("Binary eeprom file %s generated, file size: %d bytes\n", name, image.length);
  return 0;
}
