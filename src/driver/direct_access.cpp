// direct_access.cpp - the eight direct accesses. The read-back after a write goes out whether
// or not the write succeeded, and the result line is printed either way, showing 0 for a value
// that could not be read.
#include "driver/direct_access.h"

#include "driver/driver_operations.h"

namespace {

void RegisterAccess(Driver& driver, const CommandOptions& options, bool write) {
  uint32_t value = 0;
  if (write) WRITE_REGISTER(driver, options.Address, options.Value);
  READ_REGISTER(driver, options.Address, &value);
  driver.console().Printf("Register 0x%x : 0x%x\n", options.Address, value);
}

void PhyAccess(Driver& driver, const CommandOptions& options, bool write) {
  uint32_t value = 0;
  if (write) WRITE_PHY(driver, options.Address, options.Value);
  READ_PHY(driver, options.Address, &value);
  driver.console().Printf("PHY Register 0x%x : 0x%x\n", options.Address, value);
}

void PciConfigAccess(Driver& driver, const CommandOptions& options, bool write) {
  const auto offset = static_cast<uint16_t>(options.Address);
  uint32_t value = 0;
  if (write) WRITE_PCICFG(driver, offset, options.Value);
  READ_PCICFG(driver, offset, &value);
  driver.console().Printf("PCI Cfg Offset 0x%x : 0x%x\n", options.Address, value);
}

void PciePhyAccess(Driver& driver, const CommandOptions& options, bool write) {
  const auto address = static_cast<uint16_t>(options.Address);
  uint16_t value = 0;
  if (write) WRITE_PCIEPHY(driver, address, static_cast<uint16_t>(options.Value));
  READ_PCIEPHY(driver, address, &value);
  driver.console().Printf("PCIe Phy Register 0x%x : 0x%x\n", static_cast<unsigned>(address),
                          static_cast<unsigned>(value));
}

struct AccessRow {
  uint32_t operation;
  void (*access)(Driver&, const CommandOptions&, bool write);
  bool write;
};

constexpr AccessRow kAccessTable[] = {
    {kOpReadRegister, RegisterAccess, false},
    {kOpWriteRegister, RegisterAccess, true},
    {kOpReadPhy, PhyAccess, false},
    {kOpWritePhy, PhyAccess, true},
    {kOpReadPciConfig, PciConfigAccess, false},
    {kOpWritePciConfig, PciConfigAccess, true},
    {kOpReadPciePhy, PciePhyAccess, false},
    {kOpWritePciePhy, PciePhyAccess, true},
};

}  // namespace

void RunDirectAccess(Driver& driver, const CommandOptions& options) {
  for (const AccessRow& row : kAccessTable) {
    if (row.operation == options.Operation) {
      row.access(driver, options, row.write);
      return;
    }
  }
}
