// image_file.cpp - transitional: offline image generation is not built yet.
#include "config/image/image_file.h"

int GenerateImageFile(CommandOptions&, IniState&, Console&) { return 0; }
