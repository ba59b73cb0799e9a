// chip_identity.cpp - the two ways a run identifies its chip.
#include "app/chip_identity.h"

#include <cstring>

#include "common/chip_table.h"
#include "common/exit_codes.h"
#include "driver/driver_operations.h"

namespace {

constexpr size_t kModelNameLength = 7;

}  // namespace

int IdentifyChip(Driver& driver, ChipIdentity* chip) {
  uint32_t id_register = 0;
  if (!READ_REGISTER(driver, 0, &id_register)) return kExitNoDevice;
  if (const ChipRow* row = FindChip(id_register >> 16)) {
    std::strncpy(chip->name, row->chip_name, sizeof chip->name - 1);
    chip->id_register = id_register;
    return 0;
  }
  driver.console().Error("This is not QNT52xx device\n");
  return kExitNoDevice;
}

int IdentifyChipModel(const CommandOptions& options, ChipIdentity* chip, Console& console) {
  const char* model = options.ChipModelName.get();
  for (const ChipRow& row : kChipTable) {
    if (model != nullptr && std::strncmp(model, row.model_name, kModelNameLength) == 0) {
      chip->id_register = row.chip_id << 16;
      return 0;
    }
  }
  console.Error("Please specify QNT5230, QNT5231 or QNT523F with -d option\n");
  return kExitNoDevice;
}
