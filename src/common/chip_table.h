// chip_table.h - the controllers of the family the utility accepts, by the chip ID in the upper
// half of controller register 0.
#pragma once

#include <cstdint>

struct ChipRow {
  uint32_t chip_id;
  const char* chip_name;   // lower case but for the F of the third
  const char* model_name;  // as given with -d
};

inline constexpr ChipRow kChipTable[] = {
    {.chip_id = 0x5230, .chip_name = "qnt5230", .model_name = "QNT5230"},
    {.chip_id = 0x5231, .chip_name = "qnt5231", .model_name = "QNT5231"},
    {.chip_id = 0x523F, .chip_name = "qnt523F", .model_name = "QNT523F"},
};

// The row of |chip_id|, or null for a chip outside the family.
constexpr const ChipRow* FindChip(uint32_t chip_id) {
  for (const ChipRow& chip : kChipTable) {
    if (chip.chip_id == chip_id) return &chip;
  }
  return nullptr;
}
