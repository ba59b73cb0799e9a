// ip_helper_logic.cpp - the buffers of the IP Helper's calls and the walk of what they return.
#include "platform/ip_helper_logic.h"

#include <utility>

namespace {

constexpr uint32_t kFirstAdapterBufferSize = 144;

}  // namespace

uint32_t IpHelperLogic::GetAdaptersAddresses(std::vector<HostAdapter>* adapters) {
  uint32_t size = kFirstAdapterBufferSize;
  void* buffer = calls_.Allocate(size);
  if (buffer == nullptr) return kAdapterBufferNotAllocated;
  uint32_t result = calls_.AdaptersAddresses(buffer, &size);
  if (result == kIpHelperBufferOverflow) {
    calls_.Release(buffer);
    buffer = calls_.Allocate(size);
    if (buffer == nullptr) return kAdapterBufferNotAllocated;
    result = calls_.AdaptersAddresses(buffer, &size);
  }
  if (result == kIpHelperNoError) *adapters = AdaptersIn(buffer);
  calls_.Release(buffer);
  return result;
}

std::vector<HostAdapter> IpHelperLogic::AdaptersIn(const void* buffer) {
  std::vector<HostAdapter> adapters;
  for (IpHelperRecord at = buffer; at != nullptr;) {
    AdapterRecord record = calls_.ReadAdapter(at);
    HostAdapter adapter{.description = std::move(record.description),
                        .interface_index = record.interface_index,
                        .physical = std::move(record.physical)};
    for (IpHelperRecord address = record.first_unicast; address != nullptr;) {
      const UnicastRecord unicast = calls_.ReadUnicast(address);
      // Another family's address stands as 0.0.0.0, so that the count stays the system's.
      adapter.unicast.push_back(unicast.ipv4 ? unicast.address : Ip4Address{});
      address = unicast.next;
    }
    adapters.push_back(std::move(adapter));
    at = record.next;
  }
  return adapters;
}

uint32_t IpHelperLogic::GetIpAddrTable(std::vector<IpAddressRow>* rows) {
  uint32_t size = 0;
  void* table = nullptr;
  uint32_t result = calls_.IpAddrTable(table, &size);
  if (result == kIpHelperInsufficientBuffer) {
    table = calls_.Allocate(size);
    if (table == nullptr) return kIpHelperNotEnoughMemory;
    result = calls_.IpAddrTable(table, &size);
  }
  if (table == nullptr) return result;
  if (result == kIpHelperNoError) {
    rows->clear();
    const uint32_t count = calls_.AddressRowCount(table);
    for (uint32_t i = 0; i < count; ++i) rows->push_back(calls_.AddressRow(table, i));
  }
  calls_.Release(table);
  return result;
}

uint32_t IpHelperLogic::CreateIpNetEntry(const ArpEntry& entry) {
  return calls_.CreateIpNetEntry(entry);
}

uint32_t IpHelperLogic::DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) {
  return calls_.DeleteIpNetEntry(interface_index, address);
}
