// direct_access.cpp - the eight direct accesses. The read-back after a write goes out whether
// or not the write succeeded, and the result line is printed either way, showing 0 for a value
// that could not be read.
#include "driver/direct_access.h"

#include "driver/driver_operations.h"

namespace {

void RegisterAccess(Driver& driver, const DirectAccessRequest& request) {
  uint32_t value = 0;
  if (request.write) WRITE_REGISTER(driver, request.address, request.value);
  READ_REGISTER(driver, request.address, &value);
  driver.console().Printf("Register 0x%x : 0x%x\n", request.address, value);
}

void PhyAccess(Driver& driver, const DirectAccessRequest& request) {
  uint32_t value = 0;
  if (request.write) WRITE_PHY(driver, request.address, request.value);
  READ_PHY(driver, request.address, &value);
  driver.console().Printf("PHY Register 0x%x : 0x%x\n", request.address, value);
}

void PciConfigAccess(Driver& driver, const DirectAccessRequest& request) {
  const auto offset = static_cast<uint16_t>(request.address);
  uint32_t value = 0;
  if (request.write) WRITE_PCICFG(driver, offset, request.value);
  READ_PCICFG(driver, offset, &value);
  driver.console().Printf("PCI Cfg Offset 0x%x : 0x%x\n", request.address, value);
}

void PciePhyAccess(Driver& driver, const DirectAccessRequest& request) {
  const auto address = static_cast<uint16_t>(request.address);
  uint16_t value = 0;
  if (request.write) WRITE_PCIEPHY(driver, address, static_cast<uint16_t>(request.value));
  READ_PCIEPHY(driver, address, &value);
  driver.console().Printf("PCIe Phy Register 0x%x : 0x%x\n", static_cast<unsigned>(address),
                          static_cast<unsigned>(value));
}

struct AccessRow {
  DirectAccessTarget target;
  void (*access)(Driver&, const DirectAccessRequest&);
};

constexpr AccessRow kAccessTable[] = {
    {DirectAccessTarget::kRegister, RegisterAccess},
    {DirectAccessTarget::kPhy, PhyAccess},
    {DirectAccessTarget::kPciConfig, PciConfigAccess},
    {DirectAccessTarget::kPciePhy, PciePhyAccess},
};

}  // namespace

void RunDirectAccess(Driver& driver, const DirectAccessRequest& request) {
  for (const AccessRow& row : kAccessTable) {
    if (row.target == request.target) {
      row.access(driver, request);
      return;
    }
  }
}
