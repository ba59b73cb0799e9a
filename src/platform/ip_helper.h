// ip_helper.h - the IP Helper service: the host's network adapters and their addresses, the IPv4
// address table and static ARP entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sockets.h"

// One network adapter as the system lists it, IPv4 only, without anycast and multicast.
struct HostAdapter {
  std::string description;  // converted from the system's wide text
  uint32_t interface_index = 0;
  std::vector<Ip4Address> unicast;
  std::vector<uint8_t> physical;  // the hardware address the system shows, as many bytes as it has
};

// One row of the IPv4 address table.
struct IpAddressRow {
  Ip4Address address;
  uint32_t interface_index = 0;
};

constexpr uint32_t kArpEntryStatic = 4;

struct ArpEntry {
  uint32_t interface_index = 0;
  uint8_t physical[6] = {};
  Ip4Address address;
  uint32_t type = kArpEntryStatic;
};

// GetAdaptersAddresses could not even have its buffer allocated.
constexpr uint32_t kAdapterBufferNotAllocated = 0xFFFFFFFFu;

// Every call returns 0 or the IP Helper result code.
class IpHelper {
 public:
  virtual ~IpHelper() = default;

  // The adapters in the order the system returns them.
  virtual uint32_t GetAdaptersAddresses(std::vector<HostAdapter>* adapters) = 0;
  // The IPv4 address table, unsorted.
  virtual uint32_t GetIpAddrTable(std::vector<IpAddressRow>* rows) = 0;
  virtual uint32_t CreateIpNetEntry(const ArpEntry& entry) = 0;
  virtual uint32_t DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) = 0;
};
