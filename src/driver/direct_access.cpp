// direct_access.cpp - the eight direct accesses. The read-back after a write goes out whether or
// not the write succeeded; a value that could not be read is never shown, since a line with a
// made-up value would pass for a reading.
#include "driver/direct_access.h"

#include "driver/driver_operations.h"

namespace {

// Keeps the value read; the access succeeded when a write (if any) did too.
bool Keep(DirectAccessResult& result, uint32_t value, const DirectAccessRequest& request) {
  result.read = true;
  result.value = value;
  return !request.write || result.written;
}

bool RegisterAccess(Driver& driver, const DirectAccessRequest& request,
                    DirectAccessResult& result) {
  result.written = request.write && WRITE_REGISTER(driver, request.address, request.value);
  uint32_t value = 0;
  if (!READ_REGISTER(driver, request.address, &value)) return false;
  driver.console().Printf("Register 0x%x : 0x%x\n", request.address, value);
  return Keep(result, value, request);
}

bool PhyAccess(Driver& driver, const DirectAccessRequest& request, DirectAccessResult& result) {
  result.written = request.write && WRITE_PHY(driver, request.address, request.value);
  uint32_t value = 0;
  if (!READ_PHY(driver, request.address, &value)) return false;
  driver.console().Printf("PHY Register 0x%x : 0x%x\n", request.address, value);
  return Keep(result, value, request);
}

bool PciConfigAccess(Driver& driver, const DirectAccessRequest& request,
                     DirectAccessResult& result) {
  const auto offset = static_cast<uint16_t>(request.address);
  result.written = request.write && WRITE_PCICFG(driver, offset, request.value);
  uint32_t value = 0;
  if (!READ_PCICFG(driver, offset, &value)) return false;
  driver.console().Printf("PCI Cfg Offset 0x%x : 0x%x\n", request.address, value);
  return Keep(result, value, request);
}

bool PciePhyAccess(Driver& driver, const DirectAccessRequest& request, DirectAccessResult& result) {
  const auto address = static_cast<uint16_t>(request.address);
  result.written =
      request.write && WRITE_PCIEPHY(driver, address, static_cast<uint16_t>(request.value));
  uint16_t value = 0;
  if (!READ_PCIEPHY(driver, address, &value)) return false;
  driver.console().Printf("PCIe Phy Register 0x%x : 0x%x\n", static_cast<unsigned>(address),
                          static_cast<unsigned>(value));
  return Keep(result, value, request);
}

struct AccessRow {
  DirectAccessTarget target;
  bool (*access)(Driver&, const DirectAccessRequest&, DirectAccessResult&);
};

constexpr AccessRow kAccessTable[] = {
    {DirectAccessTarget::kRegister, RegisterAccess},
    {DirectAccessTarget::kPhy, PhyAccess},
    {DirectAccessTarget::kPciConfig, PciConfigAccess},
    {DirectAccessTarget::kPciePhy, PciePhyAccess},
};

}  // namespace

bool RunDirectAccess(Driver& driver, const DirectAccessRequest& request,
                     DirectAccessResult* result) {
  DirectAccessResult kept;
  for (const AccessRow& row : kAccessTable) {
    if (row.target != request.target) continue;
    const bool done = row.access(driver, request, kept);
    if (result != nullptr) *result = kept;
    return done;
  }
  return false;
}
