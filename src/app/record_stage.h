// record_stage.h - the per-board record of a -w run with -t: opening and reading it before the
// board is touched, the guard that keeps an identity on one board, and the lines a run appends.
#pragma once

#include <cstdint>
#include <string>

#include "app/command_options.h"
#include "app/run_state.h"
#include "common/image_buffer.h"
#include "format/record_identities.h"
#include "platform/console.h"
#include "platform/user_file.h"

// The identity a run is about to program, settled before the board is touched.
struct BoardIdentity {
  std::string mac_address;  // canonical; empty when neither the INI file nor the image tells
  std::string serial_number;
};

// The INI file's values when it gives them (they are patched into a -b image too), else the
// image file's own.
BoardIdentity IdentityOf(const CommandOptions& options, const DeviceSettings& settings);

// Refuses a record that is the file the board is programmed from or cannot take a line, then
// locks it into |*lock| (so that two stations cannot both find an identity free) and reads it for
// |identity|, the one the run means to give its board. Returns 0, or kExitModifyFailed after its
// message; nothing has touched the board then.
int OpenBoardRecord(const CommandOptions& options, const BoardIdentity& identity, Console& console,
                    UserFileLock* lock, RecordIdentities* identities);

// Refuses |identity| (the one the record was read for) when the record shows it sent to a board
// already; the serial number counts only when |serial_counts| (the INI file steps it: a fixed
// serial number is meant for every board). Returns 0 or kExitModifyFailed after its message.
int GuardIdentity(const RecordIdentities& identities, const BoardIdentity& identity,
                  bool serial_counts, const char* record_name, Console& console);

// The line of this run, for |image| of |length| bytes (none: length 0).
BoardRecordLine RecordLineOf(const CommandOptions& options, const ChipIdentity& chip,
                             const BoardIdentity& identity, uint32_t adapter,
                             const ImageBuffer& image);

// Appends |line| in one flushed write. False after "Couldn't write the record file".
bool AppendRecordLine(const char* record_name, const BoardRecordLine& line, Console& console);
