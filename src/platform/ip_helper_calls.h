// ip_helper_calls.h - the IP Helper's raw calls, under the IP Helper service. The system fills a
// buffer the caller allocated with records linked by pointers; each call here does one system
// call, or reads one record into a plain one, and no more. How big a buffer to offer, when to ask
// again and how to walk the lists is the logic's business (ip_helper_logic.h), written once and
// driven in the tests with prepared adapter lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ip_helper.h"

// The results the logic tells apart.
constexpr uint32_t kIpHelperNoError = 0;
constexpr uint32_t kIpHelperNotEnoughMemory = 8;       // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kIpHelperBufferOverflow = 111;      // ERROR_BUFFER_OVERFLOW
constexpr uint32_t kIpHelperInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER

// A record in a buffer the system filled, as the logic passes it back to the calls.
using IpHelperRecord = const void*;

// One adapter of GetAdaptersAddresses.
struct AdapterRecord {
  IpHelperRecord next = nullptr;  // null after the last adapter
  IpHelperRecord first_unicast = nullptr;
  std::string description;  // converted from the system's wide text
  uint32_t interface_index = 0;
  std::vector<uint8_t> physical;
};

// One unicast address of an adapter.
struct UnicastRecord {
  IpHelperRecord next = nullptr;  // null after the adapter's last address
  bool ipv4 = false;
  Ip4Address address;  // when |ipv4|
};

class IpHelperCalls {
 public:
  virtual ~IpHelperCalls() = default;

  // A buffer of |size| bytes for the system to fill; null when there is no memory.
  virtual void* Allocate(uint32_t size) = 0;
  virtual void Release(void* buffer) = 0;

  // GetAdaptersAddresses for IPv4 without anycast and multicast addresses, into |buffer| of
  // |*size| bytes. On kIpHelperBufferOverflow |*size| is the size it needs; on kIpHelperNoError
  // the first adapter's record is at |buffer|.
  virtual uint32_t AdaptersAddresses(void* buffer, uint32_t* size) = 0;
  virtual AdapterRecord ReadAdapter(IpHelperRecord adapter) = 0;
  virtual UnicastRecord ReadUnicast(IpHelperRecord unicast) = 0;

  // GetIpAddrTable, unsorted, into |table| (null allowed) of |*size| bytes. On
  // kIpHelperInsufficientBuffer |*size| is the size it needs.
  virtual uint32_t IpAddrTable(void* table, uint32_t* size) = 0;
  virtual uint32_t AddressRowCount(const void* table) = 0;
  virtual IpAddressRow AddressRow(const void* table, uint32_t index) = 0;

  virtual uint32_t CreateIpNetEntry(const ArpEntry& entry) = 0;
  virtual uint32_t DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) = 0;
};
