// overlay_table.h - putting an SRAM overlay table into the PHY microcontroller's XDATA and
// reading it back: the table decides what program memory shows, so one that did not land would
// leave the MCU running something other than what was loaded.
#pragma once

#include "driver/driver.h"
#include "phy/mcu_access.h"

// Writes the entries of |table| in order, then reads the whole table back. Each entry that fails
// or reads back otherwise is reported once with |failure_format| (the entry, its number, its
// address) and the next entry follows. Returns whether every entry is in place.
bool WriteOverlayTable(Driver& driver, const uint16_t (&table)[kOverlayEntries],
                       const char* failure_format);
