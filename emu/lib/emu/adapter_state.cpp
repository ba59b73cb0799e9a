// adapter_state.cpp - a freshly made adapter, and the chip names of the tool.
#include "emu/adapter_state.h"

#include <strings.h>
#include <cstdlib>
#include <cstring>

#include "emu/pci_config.h"
#include "emu/phy_model.h"

namespace emu {
namespace {

struct ChipName {
  const char* name;
  uint32_t id_value;
};

constexpr ChipName kChips[] = {
    {.name = "QNT5230", .id_value = 0x52300001},
    {.name = "QNT5231", .id_value = 0x52310001},
    {.name = "QNT523F", .id_value = 0x523F0001},
};

}  // namespace

AdapterState MakeAdapter(uint32_t index, const AdapterOptions& options) {
  AdapterState state;
  state.index = index;
  state.id_value = options.id_value;
  state.eeprom_size = options.eeprom_size;
  state.clock = options.clock;
  state.eeprom.fill(0xFF);
  state.otp.fill(0x00);
  BuildPciConfig(options.id_value, state.pci_config.data());
  ResetPhy(state);
  state.driver_version = {2, 1, 7, 0};
  state.adapter_bits = {0x00000001, 0x00000000, 0x00000000};
  const std::string number = std::to_string(index);
  state.location = "PCI bus " + std::to_string(index + 3) + ", device 0, function 0";
  state.registry_key =
      "\\REGISTRY\\MACHINE\\SYSTEM\\ControlSet001\\Control\\Class\\"
      "{4d36e972-e325-11ce-bfc1-08002be10318}\\000" +
      number;
  state.pdo_name = "\\Device\\NTPNP_PCI00" + std::to_string(10 + index);
  state.port = index;
  return state;
}

bool ParseChip(const char* text, uint32_t* id_value) {
  for (const ChipName& chip : kChips) {
    if (strcasecmp(chip.name, text) == 0) {
      *id_value = chip.id_value;
      return true;
    }
  }
  if (text[0] != '0' || (text[1] != 'x' && text[1] != 'X') || text[2] == '\0') return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text + 2, &end, 16);
  if (*end != '\0' || value > 0xFFFFFFFFul) return false;
  *id_value = static_cast<uint32_t>(value);
  return true;
}

}  // namespace emu
