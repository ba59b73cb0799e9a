// chip_identity.cpp - the chip table and the two ways a run identifies its chip.
#include "app/chip_identity.h"

#include <cstring>

#include "driver/driver_operations.h"

namespace {

struct ChipRow {
  uint32_t chip_id;
  const char* chip_name;   // lower case but for the F of the third
  const char* model_name;  // as given with -d
};

constexpr ChipRow kChipTable[] = {
    {0x5230, "qnt5230", "QNT5230"},
    {0x5231, "qnt5231", "QNT5231"},
    {0x523F, "qnt523F", "QNT523F"},
};

constexpr size_t kModelNameLength = 7;

}  // namespace

int IdentifyChip(Driver& driver, CommandOptions& options) {
  uint32_t id_register = 0;
  if (!READ_REGISTER(driver, 0, &id_register)) return kExitNoDevice;
  for (const ChipRow& chip : kChipTable) {
    if (chip.chip_id == id_register >> 16) {
      std::strncpy(options.ChipName, chip.chip_name, sizeof options.ChipName - 1);
      options.IdRegister = id_register;
      return 0;
    }
  }
  driver.console().Error("This is not QNT52xx device\n");
  return kExitNoDevice;
}

int IdentifyChipModel(CommandOptions& options, Console& console) {
  const char* model = options.ChipModelName.get();
  for (const ChipRow& chip : kChipTable) {
    if (model != nullptr && std::strncmp(model, chip.model_name, kModelNameLength) == 0) {
      options.IdRegister = chip.chip_id << 16;
      return 0;
    }
  }
  console.Error("Please specify QNT5230, QNT5231 or QNT523F with -d option\n");
  return kExitNoDevice;
}
