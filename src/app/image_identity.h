// image_identity.h - the INI file's MAC address and serial number put into an image read from a
// file, so that the board gets the identity the run set aside whatever the file held.
#pragma once

#include "app/run_state.h"
#include "common/image_buffer.h"
#include "platform/console.h"

// Patches the settings' CurrentMacAddress (when read) and CurrentSerialNumber (when present) into
// |image|, within |run.eeprom_size| bytes and not past the image's end. Returns 0, or nonzero
// after the patch's own message; the caller names the memory in its line.
int PatchSettingsIdentity(const RunState& run, ImageBuffer& image, Console& console);
