// image_file.h - offline generation: an image file built from the configuration file, with no
// device.
#pragma once

#include "app/command_options.h"
#include "app/run_state.h"
#include "platform/console.h"

// Writes the image for |options| to |options.ImageFileName|. Returns the run's exit code.
int GenerateImageFile(const CommandOptions& options, const RunState& run, Console& console);

// The checks every generated image file passes first: the file is not the configuration it is
// built from, and the configuration is valid. Returns 0 or the run's exit code.
int CheckGenerationSource(const CommandOptions& options, const RunState& run, Console& console);
