// firmware_download.h - loading a firmware image or parameters file into the PHY
// microcontroller and reading it back, in the four modes of the download.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/driver.h"
#include "phy/firmware_file.h"

// Runs |mode| with the |length| bytes of |bytes| (1 to 16384; 1 to 1024 for parameters): holds
// the MCU under host access, writes the overlay tables around the download, verifies where the
// mode reads back, and releases the MCU. Prints progress and every failure. A failure after
// access was taken leaves the MCU held and stopped. Returns whether every step succeeded and
// every check found the MCU as commanded; an overlay-table entry that is not in place is
// reported, does not stop the sequence, and makes the result false, and one whose bytes went
// elsewhere stops it. Into a file or a pipe, the progress lines thin out to one a percentage.
bool DownloadFirmware(Driver& driver, FirmwareMode mode, const uint8_t* bytes, size_t length);
