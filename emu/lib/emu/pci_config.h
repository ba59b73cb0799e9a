// pci_config.h - the controller's PCI configuration space: a type-0 header with the chip's IDs,
// its capability list, and which bytes software may change.
#pragma once

#include <cstdint>

namespace emu {

constexpr uint16_t kPciVendorId = 0x0E1D;

// Fills the 4 KiB |space| with the header a reset controller with register-0 value |id_value|
// shows.
void BuildPciConfig(uint32_t id_value, uint8_t* space);
// Whether a write may change the byte at |offset|: the identification bytes (IDs, revision,
// class, header type, subsystem IDs, capability pointers) are read-only.
bool PciConfigByteWritable(uint32_t offset);

}  // namespace emu
