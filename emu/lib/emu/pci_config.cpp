// pci_config.cpp - the reset contents of the controller's PCI configuration space.
#include "emu/pci_config.h"

#include <cstring>

#include "emu/wire_format.h"

namespace emu {
namespace {

constexpr uint8_t kCapPowerManagement = 0x40;
constexpr uint8_t kCapMsi = 0x50;
constexpr uint8_t kCapPciExpress = 0x70;

struct ReadOnlyRange {
  uint32_t first;
  uint32_t last;
};

constexpr ReadOnlyRange kReadOnly[] = {
    {.first = 0x00, .last = 0x03},  // vendor and device ID
    {.first = 0x08, .last = 0x0B},  // revision and class code
    {.first = 0x0E, .last = 0x0E},  // header type
    {.first = 0x2C, .last = 0x2F},  // subsystem vendor and ID
    {.first = 0x34, .last = 0x34},  // capability pointer
    {.first = kCapPowerManagement, .last = kCapPowerManagement + 1},
    {.first = kCapMsi, .last = kCapMsi + 1},
    {.first = kCapPciExpress, .last = kCapPciExpress + 1},
};

}  // namespace

void BuildPciConfig(uint32_t id_value, uint8_t* space) {
  std::memset(space, 0, kPciConfigSize);
  const uint16_t device = static_cast<uint16_t>(id_value >> 16);
  Store16(space + 0x00, kPciVendorId);
  Store16(space + 0x02, device);
  Store16(space + 0x04, 0x0406);                 // memory space, bus master, interrupts disabled
  Store16(space + 0x06, 0x0010);                 // capability list present
  space[0x08] = static_cast<uint8_t>(id_value);  // revision
  space[0x09] = 0x00;                            // class 02 00 00: Ethernet controller
  space[0x0A] = 0x00;
  space[0x0B] = 0x02;
  space[0x0C] = 0x10;                 // cache line size
  Store32(space + 0x10, 0xF7D00000);  // BAR0: 32-bit memory
  Store16(space + 0x2C, kPciVendorId);
  Store16(space + 0x2E, device);
  space[0x34] = kCapPowerManagement;
  space[0x3C] = 0x0B;  // interrupt line
  space[0x3D] = 0x01;  // INTA#

  space[kCapPowerManagement] = 0x01;
  space[kCapPowerManagement + 1] = kCapMsi;
  Store16(space + kCapPowerManagement + 2, 0xC9C3);

  space[kCapMsi] = 0x05;
  space[kCapMsi + 1] = kCapPciExpress;
  Store16(space + kCapMsi + 2, 0x0080);  // 64-bit addresses

  space[kCapPciExpress] = 0x10;
  space[kCapPciExpress + 1] = 0x00;                    // end of the list
  Store16(space + kCapPciExpress + 2, 0x0002);         // version 2, endpoint
  Store32(space + kCapPciExpress + 0x0C, 0x00000011);  // link capabilities: 2.5 GT/s, x1
  Store16(space + kCapPciExpress + 0x12, 0x1011);      // link status: x1 at 2.5 GT/s
}

bool PciConfigByteWritable(uint32_t offset) {
  for (const ReadOnlyRange& range : kReadOnly) {
    if (offset >= range.first && offset <= range.last) return false;
  }
  return true;
}

}  // namespace emu
