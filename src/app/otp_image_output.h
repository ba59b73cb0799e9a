// otp_image_output.h - offline generation of an OTP image file (-O -i -o -d), with no device.
#pragma once

#include "app/command_options.h"
#include "app/run_state.h"
#include "platform/console.h"

// Writes the OTP image for |options| to |options.ImageFileName| in its file form. The file is
// written only once the image is known to fit, so a refusal leaves any file of that name as it
// was. Returns the run's exit code: 0, 9 or 10.
int GenerateOtpImageFile(const CommandOptions& options, const RunState& run, Console& console);
