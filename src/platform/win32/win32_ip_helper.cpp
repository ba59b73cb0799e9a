// win32_ip_helper.cpp - the IP Helper's raw calls through iphlpapi: one system call, or one record
// of a buffer it filled read into a plain one, each.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdlib>
#include <cstring>

#include "platform/win32/win32_network.h"

static_assert(kIpHelperNoError == NO_ERROR && kIpHelperNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY &&
                  kIpHelperBufferOverflow == ERROR_BUFFER_OVERFLOW &&
                  kIpHelperInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER,
              "the results the IP Helper logic tells apart are the system's");

namespace {

std::string NarrowText(const wchar_t* wide) {
  if (wide == nullptr) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

}  // namespace

void* Win32IpHelperCalls::Allocate(uint32_t size) { return std::malloc(size); }

void Win32IpHelperCalls::Release(void* buffer) { std::free(buffer); }

uint32_t Win32IpHelperCalls::AdaptersAddresses(void* buffer, uint32_t* size) {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
  ULONG length = *size;
  const ULONG result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                              static_cast<IP_ADAPTER_ADDRESSES*>(buffer), &length);
  *size = length;
  return result;
}

AdapterRecord Win32IpHelperCalls::ReadAdapter(IpHelperRecord adapter) {
  const auto* system = static_cast<const IP_ADAPTER_ADDRESSES*>(adapter);
  AdapterRecord record{.next = system->Next,
                       .first_unicast = system->FirstUnicastAddress,
                       .description = NarrowText(system->Description),
                       .interface_index = system->IfIndex};
  record.physical.assign(system->PhysicalAddress,
                         system->PhysicalAddress + system->PhysicalAddressLength);
  return record;
}

UnicastRecord Win32IpHelperCalls::ReadUnicast(IpHelperRecord unicast) {
  const auto* system = static_cast<const IP_ADAPTER_UNICAST_ADDRESS*>(unicast);
  const sockaddr* address = system->Address.lpSockaddr;
  UnicastRecord record{.next = system->Next,
                       .ipv4 = address != nullptr && address->sa_family == AF_INET};
  if (record.ipv4) {
    std::memcpy(record.address.octets, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr,
                sizeof record.address.octets);
  }
  return record;
}

uint32_t Win32IpHelperCalls::IpAddrTable(void* table, uint32_t* size) {
  ULONG length = *size;
  const DWORD result = ::GetIpAddrTable(static_cast<MIB_IPADDRTABLE*>(table), &length, FALSE);
  *size = length;
  return result;
}

uint32_t Win32IpHelperCalls::AddressRowCount(const void* table) {
  return static_cast<const MIB_IPADDRTABLE*>(table)->dwNumEntries;
}

IpAddressRow Win32IpHelperCalls::AddressRow(const void* table, uint32_t index) {
  const MIB_IPADDRROW& system = static_cast<const MIB_IPADDRTABLE*>(table)->table[index];
  IpAddressRow row{.interface_index = system.dwIndex};
  std::memcpy(row.address.octets, &system.dwAddr, sizeof row.address.octets);
  return row;
}

uint32_t Win32IpHelperCalls::CreateIpNetEntry(const ArpEntry& entry) {
  MIB_IPNETROW row{};
  row.dwIndex = entry.interface_index;
  row.dwPhysAddrLen = sizeof entry.physical;
  std::memcpy(row.bPhysAddr, entry.physical, sizeof entry.physical);
  std::memcpy(&row.dwAddr, entry.address.octets, sizeof entry.address.octets);
  row.dwType = entry.type;
  return ::CreateIpNetEntry(&row);
}

uint32_t Win32IpHelperCalls::DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) {
  MIB_IPNETROW row{};
  row.dwIndex = interface_index;
  std::memcpy(&row.dwAddr, address.octets, sizeof address.octets);
  return ::DeleteIpNetEntry(&row);
}
