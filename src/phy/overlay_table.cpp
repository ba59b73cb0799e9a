// overlay_table.cpp - the 20 entries of an overlay table written high byte first, each followed to
// its place, then read back through auto-increment XDATA access.
#include "phy/overlay_table.h"

#include "driver/driver_operations.h"

namespace {

uint16_t EntryAddress(int entry) { return static_cast<uint16_t>(kMcuOverlayTableBase + 2 * entry); }

// Reads the table back from its first entry. Entries already reported (|failed|) are not
// reported again. Returns whether every entry reads back as |table| has it.
bool ReadBack(Driver& driver, const uint16_t (&table)[kOverlayEntries], const char* failure_format,
              const bool (&failed)[kOverlayEntries]) {
  if (!McuSetControl(driver, kMcuXdataAutoinc,
                     "Failed setting SMI_KSTR_VPM_BT_CTL_REG for Autoinc access to Xdata\n") ||
      !McuSetAddress(driver, kMcuOverlayTableBase,
                     "Failed setting KSTR_VPM_BT_ADDR_REG for ORAM address %04x\n")) {
    return false;
  }
  Console& console = driver.console();
  bool in_place = true;
  for (int entry = 0; entry < kOverlayEntries; ++entry) {
    uint32_t high = 0;
    uint32_t low = 0;
    // A failed read leaves the auto-increment position unknown: the rest cannot be read.
    const bool read =
        READ_PHY(driver, kMcuReadDataReg, &high) && READ_PHY(driver, kMcuReadDataReg, &low);
    const auto value = static_cast<uint16_t>((high & 0xFF) << 8 | (low & 0xFF));
    if (read && value == table[entry]) continue;
    if (!failed[entry]) {
      console.Error(failure_format, unsigned{table[entry]}, entry, unsigned{EntryAddress(entry)});
    }
    if (!read) return false;
    in_place = false;
  }
  return in_place;
}

}  // namespace

OverlayResult WriteOverlayTable(Driver& driver, const uint16_t (&table)[kOverlayEntries],
                                const char* failure_format) {
  bool failed[kOverlayEntries] = {};
  bool written = true;
  for (int entry = 0; entry < kOverlayEntries; ++entry) {
    const uint16_t address = EntryAddress(entry);
    const bool sent = McuWrite16(driver, address, table[entry]);
    // Auto-increment moves the address on once per byte: two past the entry's place shows that
    // both bytes went there. The table's read-back cannot see a stray write, and an entry equal
    // to the one already in place reads back as wanted.
    if (sent && McuRegisterHolds(driver, kMcuAddressReg, address + 2U)) continue;
    driver.console().Error(failure_format, unsigned{table[entry]}, entry, unsigned{address});
    if (sent) return OverlayResult::kStrayWrite;
    failed[entry] = true;
    written = false;
  }
  // A failed write counts even where the entry happens to read back as wanted.
  return ReadBack(driver, table, failure_format, failed) && written ? OverlayResult::kInPlace
                                                                    : OverlayResult::kNotInPlace;
}
