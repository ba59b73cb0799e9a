// otp_image_output.cpp - the OTP image built from the configuration file and written in the file
// form of its signature.
#include "app/otp_image_output.h"

#include "app/image_file.h"
#include "common/chip_table.h"
#include "common/exit_codes.h"
#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "format/otp_form.h"
#include "platform/user_file.h"

int GenerateOtpImageFile(const CommandOptions& options, const RunState& run, Console& console) {
  const int checked = CheckGenerationSource(options, run, console);
  if (checked != 0) return checked;
  ImageBuffer image;
  DeviceSettings settings = run.settings;
  if (settings.OtpSignature == 0) settings.OtpSignature = kOtpSignatureLower;
  // Switching off is a write to a device; as an image it would carry a signature that no OTP
  // write accepts.
  if (settings.OtpSignature == kOtpSwitchOff) {
    console.Error(
        "OtpSignature 0xDEAD switches the OTP off and makes no image; use 0xF3 or 0xF7 for an "
        "image file\n");
    return kExitProgramFailed;
  }
  const bool known = FindChip(run.chip.ChipId()) != nullptr;
  if (!known) console.Error("Invalid chip\n");
  const ImageTarget target{.chip_id = run.chip.ChipId(), .size = run.eeprom_size};
  if (!known ||
      BuildImage(settings, target, image.bytes, kImageKindOtp, &image.length, console) != 0) {
    console.Error("Generating OTP image failed\n");
    return kExitProgramFailed;
  }

  const int32_t file_size = OtpFileSize(image.bytes[0], image.length);
  if (file_size > kOtpSize) {
    console.Print("Binary OTP image file size is greater than Max OTP (512 bytes) size\n");
    return kExitModifyFailed;
  }
  uint8_t file[kOtpSize];
  OtpFileOfImage(image.bytes, image.length, file);
  const char* name = options.ImageFileName.get();
  if (ReplaceUserFile(name, file, static_cast<size_t>(file_size)) != ReplaceResult::kReplaced) {
    console.Error("Couldn't create file %s\n", name);
    return kExitModifyFailed;
  }
  console.Printf("Binary OTP file %s generated (first byte: 0x%X), file size: %d bytes\n", name,
                 image.bytes[0], file_size);
  return 0;
}
