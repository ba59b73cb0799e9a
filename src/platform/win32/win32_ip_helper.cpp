// win32_ip_helper.cpp - adapter addresses, the address table and ARP entries through iphlpapi.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdlib>
#include <cstring>

#include "platform/win32/win32_network.h"

namespace {

constexpr ULONG kFirstAdapterBufferSize = 144;

std::string NarrowText(const wchar_t* wide) {
  if (wide == nullptr) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

Ip4Address AddressOf(const sockaddr* address) {
  Ip4Address result;
  if (address != nullptr && address->sa_family == AF_INET) {
    std::memcpy(result.octets, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr,
                sizeof result.octets);
  }
  return result;
}

}  // namespace

uint32_t Win32IpHelper::GetAdaptersAddresses(std::vector<HostAdapter>* adapters) {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
  ULONG size = kFirstAdapterBufferSize;
  auto* buffer = static_cast<IP_ADAPTER_ADDRESSES*>(std::malloc(size));
  if (buffer == nullptr) return kAdapterBufferNotAllocated;
  ULONG result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr, buffer, &size);
  if (result == ERROR_BUFFER_OVERFLOW) {
    std::free(buffer);
    buffer = static_cast<IP_ADAPTER_ADDRESSES*>(std::malloc(size));
    if (buffer == nullptr) return kAdapterBufferNotAllocated;
    result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr, buffer, &size);
  }
  if (result == NO_ERROR) {
    adapters->clear();
    for (const IP_ADAPTER_ADDRESSES* adapter = buffer; adapter != nullptr;
         adapter = adapter->Next) {
      HostAdapter host{.description = NarrowText(adapter->Description),
                       .interface_index = adapter->IfIndex};
      host.physical.assign(adapter->PhysicalAddress,
                           adapter->PhysicalAddress + adapter->PhysicalAddressLength);
      for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
           unicast != nullptr; unicast = unicast->Next) {
        host.unicast.push_back(AddressOf(unicast->Address.lpSockaddr));
      }
      adapters->push_back(std::move(host));
    }
  }
  std::free(buffer);
  return result;
}

uint32_t Win32IpHelper::GetIpAddrTable(std::vector<IpAddressRow>* rows) {
  ULONG size = 0;
  MIB_IPADDRTABLE* table = nullptr;
  DWORD result = ::GetIpAddrTable(table, &size, FALSE);
  if (result == ERROR_INSUFFICIENT_BUFFER) {
    table = static_cast<MIB_IPADDRTABLE*>(std::malloc(size));
    if (table == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    result = ::GetIpAddrTable(table, &size, FALSE);
  }
  if (result == NO_ERROR && table != nullptr) {
    rows->clear();
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
      IpAddressRow row{.interface_index = table->table[i].dwIndex};
      std::memcpy(row.address.octets, &table->table[i].dwAddr, sizeof row.address.octets);
      rows->push_back(row);
    }
  }
  std::free(table);
  return result;
}

uint32_t Win32IpHelper::CreateIpNetEntry(const ArpEntry& entry) {
  MIB_IPNETROW row{};
  row.dwIndex = entry.interface_index;
  row.dwPhysAddrLen = sizeof entry.physical;
  std::memcpy(row.bPhysAddr, entry.physical, sizeof entry.physical);
  std::memcpy(&row.dwAddr, entry.address.octets, sizeof entry.address.octets);
  row.dwType = entry.type;
  return ::CreateIpNetEntry(&row);
}

uint32_t Win32IpHelper::DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) {
  MIB_IPNETROW row{};
  row.dwIndex = interface_index;
  std::memcpy(&row.dwAddr, address.octets, sizeof address.octets);
  return ::DeleteIpNetEntry(&row);
}
