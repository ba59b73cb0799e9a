// record_stage.h - the per-board record around a -w run with -t: the duplicate MAC address guard
// before anything is written, and the record line once the run's outcome is known.
#pragma once

#include <string>

#include "app/command_options.h"
#include "app/eeprom_stage.h"
#include "platform/console.h"
#include "platform/user_file.h"

// The identity a run is about to program, settled before the board is touched.
struct BoardIdentity {
  std::string mac_address;  // empty when the image file cannot tell
  std::string serial_number;
};

// Settles |*identity|, locks the record into |*lock| (held until the line is appended, so that two
// stations cannot both find a MAC address free) and refuses a MAC address that the record shows
// programmed already. Returns 0 to go on, or the exit code (10) after its message; nothing has
// been written to the board then.
int CheckBoardRecord(const CommandOptions& options, Console& console, BoardIdentity* identity,
                     UserFileLock* lock);

// Appends the run's line. Returns |exit_code|, or 10 when a successful run could not be recorded.
int RecordBoard(const CommandOptions& options, const BoardIdentity& identity,
                const ProgrammedImage& programmed, uint32_t adapter_index, int exit_code,
                Console& console);
