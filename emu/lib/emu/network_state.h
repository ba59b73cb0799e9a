// network_state.h - the network around one emulated adapter: the host adapter the system shows
// for it, the peers on its wire, an external loopback plug and the static ARP entries on its
// interface. Part of the adapter's state; persisted by network_lines.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace emu {

using Ip4 = std::array<uint8_t, 4>;
using Physical = std::array<uint8_t, 6>;

// A host on the wire, reachable while the PHY link is up. It answers an ICMP echo request after
// sending |noise| unrelated packets (0.9 s apart) and |foreign| replies carrying another
// identifier, |delay_ms| after the request, with ICMP type |reply_type|; or it stays silent.
struct Peer {
  Ip4 address{};
  bool silent = false;
  uint32_t foreign = 0;
  uint32_t noise = 0;
  uint32_t reply_type = 0;
  uint32_t delay_ms = 0;

  bool operator==(const Peer&) const = default;
};

struct ArpRecord {
  uint32_t interface_index = 0;
  Ip4 address{};
  Physical physical{};
  uint32_t type = 4;  // 4 static

  bool operator==(const ArpRecord&) const = default;
};

struct NetworkState {
  std::string description;       // empty: "<chip> PCI Express Gigabit Ethernet Adapter"
  uint32_t interface_index = 0;  // 0: 11 + the adapter index
  bool has_address = false;      // the system has given the adapter an IPv4 address
  Ip4 address{};
  uint32_t address_after = 0;  // adapter lookups of a run that still see no address
  // The hardware address the system shows for the adapter in place of the board's own, as an
  // address set in the driver's properties would be.
  bool has_physical = false;
  Physical physical{};
  std::vector<Peer> peers;
  uint32_t plug_speed = 0;  // an external loopback plug of 100 or 1000 Mb/s; 0 none
  uint32_t plug_noise = 0;  // exchanges that capture an unrelated packet before the looped one
  std::vector<ArpRecord> arp;

  bool operator==(const NetworkState&) const = default;
};

}  // namespace emu
