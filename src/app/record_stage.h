// record_stage.h - the per-board record of a -w run with -t: the identity the run is about to
// program, the store -t names, the guard that keeps an identity on one board, and the run's line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/command_options.h"
#include "app/run_state.h"
#include "common/image_buffer.h"
#include "platform/console.h"
#include "record/record_store.h"

// The identity a run is about to program, settled before the board is touched.
struct BoardIdentity {
  std::string mac_address;  // canonical; empty when neither the INI file nor the image tells
  std::string serial_number;
};

// The INI file's values when it gives them (they are patched into a -b image too), else the
// image file's own.
BoardIdentity IdentityOf(const CommandOptions& options, const DeviceSettings& settings);

// The store -t names, which must never be one of the files the board is programmed from; null
// without -t.
std::unique_ptr<RecordStore> RecordStoreOf(const CommandOptions& options, Console& console);

// Refuses |identity| when |known| (what the record knows of it) shows it sent to a board already;
// the serial number counts only when |serial_counts| (the INI file steps it: a fixed serial number
// is meant for every board). Returns 0 or kExitModifyFailed after its message.
int GuardIdentity(const RecordKnowledge& known, const BoardIdentity& identity, bool serial_counts,
                  Console& console);

// The message that refuses |what| (e.g. "MAC address") |text| to any board but the one |owner|
// holds it for. Returns kExitModifyFailed.
int RefuseHeldIdentity(const char* what, const std::string& text, const IdentityOwner& owner,
                       Console& console);

// The line of this run, for |image| of |length| bytes (none: length 0).
BoardRecordLine RecordLineOf(const CommandOptions& options, const ChipIdentity& chip,
                             const BoardIdentity& identity, uint32_t adapter,
                             const ImageBuffer& image);
