// emu_ip_helper.cpp - IP Helper, names and process services over the emulated adapters. Two
// adapters of the host come first in every list (the software loopback and another network
// card), so that walks and first rows are not the controller's by chance.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/emu/emu_network.h"

namespace {

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorNotFound = 1168;
constexpr uint32_t kErrorModuleNotFound = 126;
constexpr uint32_t kErrorProcNotFound = 127;

struct OtherAdapter {
  const char* description;
  uint32_t interface_index;
  Ip4Address address;
};

constexpr OtherAdapter kOtherAdapters[] = {
    {.description = "Software Loopback Interface 1",
     .interface_index = 1,
     .address = {{127, 0, 0, 1}}},
    {.description = "Onboard Gigabit Network Connection",
     .interface_index = 7,
     .address = {{10, 0, 0, 7}}},
};

Ip4Address FromEmu(const emu::Ip4& address) {
  return {{address[0], address[1], address[2], address[3]}};
}

emu::AdapterState* AdapterOnInterface(emu::Machine& machine, uint32_t interface_index) {
  for (auto& [index, adapter] : machine.adapters()) {
    if (emu::HostInterfaceIndex(adapter) == interface_index) return &adapter;
  }
  return nullptr;
}

struct Library {
  const char* name;
  LibraryHandle handle;
};

constexpr Library kLibraries[] = {{"Iphlpapi.dll", 1}, {"ICMP.DLL", 2}};
const char* const kIcmpEntryPoints[] = {"IcmpCreateFile", "IcmpSendEcho", "IcmpCloseHandle"};

}  // namespace

uint32_t EmuIpHelper::GetAdaptersAddresses(std::vector<HostAdapter>* adapters) {
  ++state_.lookups;
  adapters->clear();
  for (const OtherAdapter& other : kOtherAdapters) {
    adapters->push_back({.description = other.description,
                         .interface_index = other.interface_index,
                         .unicast = {other.address}});
  }
  for (const auto& [index, adapter] : state_.machine.adapters()) {
    HostAdapter host{.description = emu::HostDescription(adapter),
                     .interface_index = emu::HostInterfaceIndex(adapter)};
    emu::Ip4 address{};
    if (emu::HostAddress(adapter, state_.lookups, &address))
      host.unicast.push_back(FromEmu(address));
    adapters->push_back(std::move(host));
  }
  return 0;
}

uint32_t EmuIpHelper::GetIpAddrTable(std::vector<IpAddressRow>* rows) {
  rows->clear();
  for (const OtherAdapter& other : kOtherAdapters) {
    rows->push_back({.address = other.address, .interface_index = other.interface_index});
  }
  for (const auto& [index, adapter] : state_.machine.adapters()) {
    emu::Ip4 address{};
    if (emu::HostAddress(adapter, std::max(state_.lookups, 1u), &address)) {
      rows->push_back(
          {.address = FromEmu(address), .interface_index = emu::HostInterfaceIndex(adapter)});
    }
  }
  return 0;
}

uint32_t EmuIpHelper::CreateIpNetEntry(const ArpEntry& entry) {
  emu::AdapterState* adapter = AdapterOnInterface(state_.machine, entry.interface_index);
  if (adapter == nullptr) return kErrorInvalidParameter;
  emu::ArpRecord record{.interface_index = entry.interface_index, .type = entry.type};
  std::copy(std::begin(entry.address.octets), std::end(entry.address.octets),
            record.address.begin());
  std::copy(std::begin(entry.physical), std::end(entry.physical), record.physical.begin());
  return emu::AddArpEntry(*adapter, record);
}

uint32_t EmuIpHelper::DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) {
  emu::AdapterState* adapter = AdapterOnInterface(state_.machine, interface_index);
  if (adapter == nullptr) return kErrorNotFound;
  const emu::Ip4 target{address.octets[0], address.octets[1], address.octets[2], address.octets[3]};
  return emu::RemoveArpEntry(*adapter, target);
}

bool EmuNames::ParseDottedQuad(const char* text, Ip4Address* address) {
  emu::Ip4 parsed{};
  if (!emu::ParseIp4(text, &parsed)) return false;
  *address = FromEmu(parsed);
  return true;
}

bool EmuNames::ResolveHost(const char* name, Ip4Address* address) {
  if (std::strcmp(name, "localhost") != 0) return false;
  *address = {{127, 0, 0, 1}};
  return true;
}

bool EmuNames::NumericHost(const Ip4Address& address, char* text, size_t capacity) {
  const int length = std::snprintf(text, capacity, "%u.%u.%u.%u", address.octets[0],
                                   address.octets[1], address.octets[2], address.octets[3]);
  return length > 0 && static_cast<size_t>(length) < capacity;
}

uint32_t EmuProcess::Id() { return static_cast<uint32_t>(getpid()); }

LibraryHandle EmuProcess::Load(const char* name) {
  for (const Library& library : kLibraries) {
    if (strcasecmp(name, library.name) == 0) return library.handle;
  }
  state_.last_error = kErrorModuleNotFound;
  return kNoLibrary;
}

uint64_t EmuProcess::EntryPoint(LibraryHandle library, const char* name) {
  for (size_t i = 0; i < std::size(kIcmpEntryPoints); ++i) {
    if (library != kNoLibrary && std::strcmp(name, kIcmpEntryPoints[i]) == 0) {
      return 0x1000 * library + i + 1;
    }
  }
  state_.last_error = kErrorProcNotFound;
  return 0;
}

void EmuProcess::Release(LibraryHandle /*library*/) {}
