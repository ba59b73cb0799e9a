// network_model.h - what happens on an emulated adapter's wire: its host adapter's description,
// index and address, the peers' answers to echo requests, the loopback plug's returned frames and
// the ARP entries; plus the text forms the tool and the state file use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emu/adapter_state.h"

namespace emu {

// An IPv4 packet, header included, arriving at the host at |due_ms| on the adapter's clock.
struct Arrival {
  int64_t due_ms = 0;
  Ip4 from{};
  int protocol = 0;
  std::vector<uint8_t> packet;
};

std::string HostDescription(const AdapterState& state);
uint32_t HostInterfaceIndex(const AdapterState& state);
// The adapter's address as the |lookup|th adapter lookup of a run (from 1) sees it.
bool HostAddress(const AdapterState& state, uint32_t lookup, Ip4* address);
// The hardware address the system shows for the adapter: the one set for it, else the MAC address
// of the configuration the controller loads (the OTP image while the OTP holds one, else an
// EEPROM image), else all zero.
Physical HostPhysicalAddress(const AdapterState& state);

// The link as a packet sees it: up, and at which speed in full duplex (0 otherwise).
bool WireUp(const AdapterState& state, int64_t now_ms);

// A peer's packets in answer to the ICMP message |icmp| sent from |host| at |now_ms|; none when
// the address has no peer or the link is down.
std::vector<Arrival> AnswerEcho(const AdapterState& state, const Ip4& host, const Ip4& to,
                                const std::vector<uint8_t>& icmp, int64_t now_ms);
// The packets a receive-all socket on |host| captures for a raw packet of |protocol| sent to
// |to|: the outgoing copy, and through a plugged loopback connector the returning one. Consumes
// the plug's noise.
std::vector<Arrival> CaptureSent(AdapterState& state, const Ip4& host, const Ip4& to, int protocol,
                                 const std::vector<uint8_t>& payload, int64_t now_ms);

// ARP entries on the adapter's interface. Results are IP Helper codes.
uint32_t AddArpEntry(AdapterState& state, const ArpRecord& record);
uint32_t RemoveArpEntry(AdapterState& state, const Ip4& address);

// An IPv4 header of 20 bytes and |payload|.
std::vector<uint8_t> BuildIpPacket(const Ip4& from, const Ip4& to, int protocol,
                                   const std::vector<uint8_t>& payload);

std::string FormatIp4(const Ip4& address);
bool ParseIp4(const std::string& text, Ip4* address);
// "ADDRESS [silent] [foreign=K] [noise=K] [type=T] [delay=MS]".
std::string FormatPeer(const Peer& peer);
bool ParsePeer(const std::string& text, Peer* peer);
// "aa-bb-cc-dd-ee-ff"; parsing takes either case.
std::string FormatPhysical(const Physical& physical);
bool ParsePhysical(const std::string& text, Physical* physical);
// "INTERFACE ADDRESS aa-bb-cc-dd-ee-ff TYPE".
std::string FormatArp(const ArpRecord& record);
bool ParseArp(const std::string& text, ArpRecord* record);

}  // namespace emu
