// emu_ip_helper.cpp - IP Helper, names and process services over the emulated adapters. Two
// adapters of the host come first in every list (the software loopback and another network
// card), so that walks and first rows are not the controller's by chance.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

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
  std::array<uint8_t, 6> physical;  // none for the software loopback
};

constexpr OtherAdapter kOtherAdapters[] = {
    {.description = "Software Loopback Interface 1",
     .interface_index = 1,
     .address = {{127, 0, 0, 1}},
     .physical = {}},
    {.description = "Onboard Gigabit Network Connection",
     .interface_index = 7,
     .address = {{10, 0, 0, 7}},
     .physical = {0x00, 0x1B, 0x21, 0x0A, 0x00, 0x07}},
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
                         .unicast = {other.address},
                         .physical = {other.physical.begin(), other.physical.end()}});
  }
  for (const auto& [index, adapter] : state_.machine.adapters()) {
    const emu::Physical physical = emu::HostPhysicalAddress(adapter);
    HostAdapter host{.description = emu::HostDescription(adapter),
                     .interface_index = emu::HostInterfaceIndex(adapter),
                     .physical = {physical.begin(), physical.end()}};
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
  const uint32_t result = emu::AddArpEntry(*adapter, record);
  if (result == 0) state_.added_arp.push_back(record);
  return result;
}

uint32_t EmuIpHelper::DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) {
  emu::AdapterState* adapter = AdapterOnInterface(state_.machine, interface_index);
  if (adapter == nullptr) return kErrorNotFound;
  const emu::Ip4 target{address.octets[0], address.octets[1], address.octets[2], address.octets[3]};
  const uint32_t result = emu::RemoveArpEntry(*adapter, target);
  if (result == 0) {
    std::erase_if(state_.added_arp, [&](const emu::ArpRecord& added) {
      return added.interface_index == interface_index && added.address == target;
    });
  }
  return result;
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
    if (strcasecmp(name, library.name) == 0) {
      EmuNetState::Library& loaded = state_.libraries[library.handle];
      loaded.name = library.name;
      ++loaded.loads;
      return library.handle;
    }
  }
  state_.last_error = kErrorModuleNotFound;
  return kNoLibrary;
}

uint64_t EmuProcess::EntryPoint(LibraryHandle library, const char* name) {
  if (state_.libraries.count(library) == 0) {
    state_.Refuse(kErrorModuleNotFound,
                  std::string("GetProcAddress(") + name + ") in a library that is not loaded");
    return 0;
  }
  for (size_t i = 0; i < std::size(kIcmpEntryPoints); ++i) {
    if (std::strcmp(name, kIcmpEntryPoints[i]) == 0) return 0x1000 * library + i + 1;
  }
  state_.last_error = kErrorProcNotFound;
  return 0;
}

void EmuProcess::Release(LibraryHandle library) {
  const auto loaded = state_.libraries.find(library);
  if (loaded == state_.libraries.end()) {
    state_.Refuse(kErrorModuleNotFound, "FreeLibrary of a library that is not loaded");
    return;
  }
  if (--loaded->second.loads == 0) state_.libraries.erase(loaded);
}
