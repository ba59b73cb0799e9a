// image_file.cpp - offline generation: the EEPROM image built from the configuration file is
// written to an image file, with no device opened.
#include "app/image_file.h"

#include <cstdio>

#include "config/image/image_builder.h"
#include "config/ini_loader.h"

namespace {

constexpr int kExitImageBuildFailed = 9;
constexpr int kExitImageOutputFailed = 10;

}  // namespace

int GenerateImageFile(CommandOptions& options, IniState& ini, Console& console) {
  uint8_t image[kImageBufferSize] = {};
  DeviceSettings& settings = options.Settings;
  if (ValidateIniSections(settings, ini, console) != 0) {
    console.Error("Validated ini file failed\n");
    return kExitImageBuildFailed;
  }
  if (settings.OtpSignature == 0) settings.OtpSignature = kOtpLowerHalfSignature;
  if (BuildEepromImage(settings, options, image, console) != 0) {
    console.Error("Generating EEPROM image failed\n");
    return kExitImageBuildFailed;
  }

  const char* name = options.ImageFileName.get();
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) {
    console.Error("Couldn't create file %s\n", name);
    return kExitImageOutputFailed;
  }
  if (options.ImageLength > kMaxImageBytes) {
    std::fclose(file);
    console.Print(
        "Binary EEPROM image file generated is greater than Max EEPROM (512 bytes) size\n");
    return kExitImageOutputFailed;
  }
  const size_t length = static_cast<size_t>(options.ImageLength);
  const bool written = std::fwrite(image, 1, length, file) == length;
  if (std::fclose(file) != 0 || !written) {
    console.Error("Couldn't write file %s\n", name);
    return kExitImageOutputFailed;
  }
  console.Printf("Binary eeprom file %s generated, file size: %d bytes\n", name,
                 options.ImageLength);
  return 0;
}
