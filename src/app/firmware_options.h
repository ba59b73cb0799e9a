// firmware_options.h - the options of the PHY microcontroller download: -f names the file, -m
// chooses the mode, in either order; and the firmware stage of a run.
#pragma once

#include "app/parse_context.h"
#include "app/run_results.h"
#include "driver/driver.h"

ParseStep OnFirmwareFile(ParseContext& context, const char* argument);
ParseStep OnFirmwareMode(ParseContext& context, const char* argument);
// The final check of the firmware options: a mode needs a file. Returns 0 or the parser's code.
int CheckFirmwareOptions(ParseContext& context);

// Runs the download that the options chose (operation 12 to 15) with the file of -f, and keeps
// the mode, the file and its length in |*record|. Returns false when the file could not be used
// or the download, a check or a read-back failed.
bool RunFirmwareStage(Driver& driver, const CommandOptions& options, FirmwareRecord* record);
