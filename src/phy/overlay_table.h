// overlay_table.h - putting an SRAM overlay table into the PHY microcontroller's XDATA and
// reading it back: the table decides what program memory shows, so one that did not land would
// leave the MCU running something other than what was loaded.
#pragma once

#include "driver/driver.h"
#include "phy/mcu_access.h"

enum class OverlayResult {
  kInPlace,
  kNotInPlace,  // an entry failed or reads back otherwise; the other entries were written
  kStrayWrite,  // an entry's bytes went elsewhere than its place; no further entry was written
};

// Writes the entries of |table| in order, then reads the whole table back. Each entry that fails
// or reads back otherwise is reported once with |failure_format| (the entry, its number, its
// address) and the next entry follows. An entry whose bytes did not go to its place (its address
// write answered success and did nothing) has written into whatever memory the previous access
// left off at, the loaded image's end for table B: it is reported the same way and ends the
// table, since what it overwrote cannot be put back.
OverlayResult WriteOverlayTable(Driver& driver, const uint16_t (&table)[kOverlayEntries],
                                const char* failure_format);
