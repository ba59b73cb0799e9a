// loopback_peer.cpp - the loopback test's neighbour address and its static ARP entry.
#include "net/loopback_peer.h"

#include <cstdio>
#include <cstring>

#include "common/hex_digit.h"

namespace {

constexpr int kMaxAddressLength = 15;
constexpr char kAddressCharacters[] = "1234567890.";
constexpr char kPeerPhysicalAddress[] = "00-aa-bb-cc-dd-ee";

// The interface the entry for |interface_index| lives on: the given one, or the first row of the
// address table. False when there is none.
bool ArpInterface(IpHelper& ip_helper, int32_t interface_index, uint32_t* chosen) {
  if (interface_index != 0) {
    *chosen = static_cast<uint32_t>(interface_index);
    return true;
  }
  std::vector<IpAddressRow> rows;
  if (GetIpAddressTable(ip_helper, &rows) != 0 || rows.empty()) return false;
  *chosen = rows[0].interface_index;
  return true;
}

}  // namespace

bool GetLoopbackPeerAddress(const char* own, char peer[kPeerAddressSize]) {
  peer[0] = '\0';
  const size_t length = std::strlen(own);
  if (length > kMaxAddressLength || std::strspn(own, kAddressCharacters) != length) return false;
  int dots = 0;
  for (const char* c = own; *c != '\0'; ++c) dots += *c == '.';
  if (dots != 3) return false;
  const char* last_dot = std::strrchr(own, '.');
  const char* replacement = std::strcmp(last_dot + 1, "22") == 0 ? "21" : "22";
  std::snprintf(peer, kPeerAddressSize, "%.*s%s", static_cast<int>(last_dot + 1 - own), own,
                replacement);
  return true;
}

bool ParsePhysicalAddress(const char* text, uint8_t physical[6]) {
  for (int i = 0; i < 6; ++i) {
    const char* pair = text + 3 * i;
    const int high = HexDigitValue(pair[0]);
    const int low = high < 0 ? -1 : HexDigitValue(pair[1]);
    if (low < 0) return false;
    physical[i] = static_cast<uint8_t>(high << 4 | low);
    if (i < 5 && pair[2] == '\0') return false;
  }
  return true;
}

uint32_t GetIpAddressTable(IpHelper& ip_helper, std::vector<IpAddressRow>* rows) {
  return ip_helper.GetIpAddrTable(rows);
}

void CreateArpEntry(const NetworkServices& services, const char* peer, int32_t interface_index) {
  ArpEntry entry;
  if (peer == nullptr || !services.names.ParseDottedQuad(peer, &entry.address)) return;
  if (!ParsePhysicalAddress(kPeerPhysicalAddress, entry.physical)) return;
  if (!ArpInterface(services.ip_helper, interface_index, &entry.interface_index)) return;
  entry.type = kArpEntryStatic;
  services.ip_helper.CreateIpNetEntry(entry);
}

void DeleteArpEntry(const NetworkServices& services, const char* peer, int32_t interface_index) {
  Ip4Address address;
  if (peer == nullptr || !services.names.ParseDottedQuad(peer, &address)) return;
  uint32_t chosen = 0;
  if (!ArpInterface(services.ip_helper, interface_index, &chosen)) return;
  services.ip_helper.DeleteIpNetEntry(chosen, address);
}
