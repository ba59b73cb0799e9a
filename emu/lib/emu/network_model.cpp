// network_model.cpp - the emulated wire: host adapter, peers, loopback plug, ARP entries.
#include "emu/network_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "emu/link_model.h"

namespace emu {
namespace {

constexpr uint32_t kFirstInterfaceIndex = 11;
constexpr int kProtocolIcmp = 1;
constexpr int kProtocolUdp = 17;
constexpr size_t kIcmpHeader = 8;
constexpr uint8_t kEchoRequest = 8;
constexpr int64_t kNoiseSpacingMs = 900;
constexpr uint32_t kEthRfeCtl = 0x508;
constexpr uint32_t kRfeLoopbackBits = 0x700;
constexpr uint32_t kErrorNotFound = 1168;
constexpr uint32_t kErrorObjectExists = 5010;

// Where a configuration image keeps the MAC address, and how the memories say they hold one.
constexpr size_t kImageMacOffset = 1;
constexpr uint8_t kEepromSignature = 0xA5;
constexpr uint8_t kOtpLowerImage = 0xF3;
constexpr uint8_t kOtpUpperImage = 0xF7;
constexpr size_t kOtpUpperImageBase = 0x100;  // image byte i of an upper image at 0x100 + i

uint16_t Checksum(const std::vector<uint8_t>& bytes, size_t start, size_t end) {
  uint32_t sum = 0;
  for (size_t i = start; i < end; i += 2) {
    sum += static_cast<uint32_t>(bytes[i]) << 8 | (i + 1 < end ? bytes[i + 1] : 0);
  }
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

// An ICMP message of |type| carrying |identifier| bytes and the rest of |request|.
std::vector<uint8_t> IcmpMessage(uint8_t type, const std::vector<uint8_t>& request,
                                 bool flip_identifier) {
  std::vector<uint8_t> message = request;
  message[0] = type;
  message[1] = 0;
  message[2] = message[3] = 0;
  if (flip_identifier) {
    message[4] ^= 0xFF;
    message[5] ^= 0xFF;
  }
  const uint16_t sum = Checksum(message, 0, message.size());
  message[2] = static_cast<uint8_t>(sum >> 8);
  message[3] = static_cast<uint8_t>(sum);
  return message;
}

Arrival MakeArrival(int64_t due_ms, const Ip4& from, const Ip4& to, int protocol,
                    const std::vector<uint8_t>& payload) {
  return {.due_ms = due_ms,
          .from = from,
          .protocol = protocol,
          .packet = BuildIpPacket(from, to, protocol, payload)};
}

bool HasArpEntry(const AdapterState& state, const Ip4& address) {
  const uint32_t interface_index = HostInterfaceIndex(state);
  return std::any_of(state.network.arp.begin(), state.network.arp.end(), [&](const ArpRecord& r) {
    return r.interface_index == interface_index && r.address == address;
  });
}

}  // namespace

std::string HostDescription(const AdapterState& state) {
  if (!state.network.description.empty()) return state.network.description;
  char text[64];
  std::snprintf(text, sizeof text, "QNT%04X PCI Express Gigabit Ethernet Adapter",
                static_cast<unsigned>(state.id_value >> 16));
  return text;
}

uint32_t HostInterfaceIndex(const AdapterState& state) {
  return state.network.interface_index != 0 ? state.network.interface_index
                                            : kFirstInterfaceIndex + state.index;
}

bool HostAddress(const AdapterState& state, uint32_t lookup, Ip4* address) {
  if (!state.network.has_address || lookup <= state.network.address_after) return false;
  *address = state.network.address;
  return true;
}

Physical HostPhysicalAddress(const AdapterState& state) {
  if (state.network.has_physical) return state.network.physical;
  Physical physical{};
  const uint8_t* image = nullptr;
  if (state.otp[0] == kOtpLowerImage) {
    image = state.otp.data();
  } else if (state.otp[0] == kOtpUpperImage) {
    image = state.otp.data() + kOtpUpperImageBase;
  } else if (state.eeprom[0] == kEepromSignature) {
    image = state.eeprom.data();
  }
  if (image != nullptr) std::copy_n(image + kImageMacOffset, physical.size(), physical.begin());
  return physical;
}

bool WireUp(const AdapterState& state, int64_t now_ms) { return ResolveLink(state, now_ms).up; }

std::vector<Arrival> AnswerEcho(const AdapterState& state, const Ip4& host, const Ip4& to,
                                const std::vector<uint8_t>& icmp, int64_t now_ms) {
  std::vector<Arrival> arrivals;
  const auto peer = std::find_if(state.network.peers.begin(), state.network.peers.end(),
                                 [&](const Peer& p) { return p.address == to; });
  if (peer == state.network.peers.end() || peer->silent || !WireUp(state, now_ms) ||
      icmp.size() < kIcmpHeader || icmp[0] != kEchoRequest) {
    return arrivals;
  }
  int64_t due = now_ms;
  for (uint32_t i = 0; i < peer->noise; ++i) {
    due += kNoiseSpacingMs;
    arrivals.push_back(
        MakeArrival(due, to, host, kProtocolIcmp, IcmpMessage(kEchoRequest, icmp, true)));
  }
  due += peer->delay_ms;
  for (uint32_t i = 0; i < peer->foreign; ++i) {
    arrivals.push_back(MakeArrival(due, to, host, kProtocolIcmp, IcmpMessage(0, icmp, true)));
  }
  arrivals.push_back(MakeArrival(due, to, host, kProtocolIcmp,
                                 IcmpMessage(static_cast<uint8_t>(peer->reply_type), icmp, false)));
  return arrivals;
}

std::vector<Arrival> CaptureSent(AdapterState& state, const Ip4& host, const Ip4& to, int protocol,
                                 const std::vector<uint8_t>& payload, int64_t now_ms) {
  std::vector<Arrival> arrivals{MakeArrival(now_ms, host, to, protocol, payload)};
  const LinkResolution link = ResolveLink(state, now_ms);
  const bool looped = state.network.plug_speed != 0 && link.up && link.full_duplex &&
                      (link.speed == 100 || link.speed == 1000);
  const auto rfe = state.registers.find(kEthRfeCtl);
  const bool filter_open =
      rfe != state.registers.end() && (rfe->second & kRfeLoopbackBits) == kRfeLoopbackBits;
  if (!looped) return arrivals;
  if (state.network.plug_noise > 0) {
    --state.network.plug_noise;
    const Ip4 other{host[0], host[1], host[2], 255};
    arrivals.push_back(MakeArrival(now_ms, host, other, kProtocolUdp,
                                   std::vector<uint8_t>(payload.size() + 8, 0x11)));
  }
  if (filter_open && HasArpEntry(state, to)) {
    arrivals.push_back(MakeArrival(now_ms, host, to, protocol, payload));
  }
  return arrivals;
}

uint32_t AddArpEntry(AdapterState& state, const ArpRecord& record) {
  if (record.interface_index != HostInterfaceIndex(state)) return kErrorInvalidParameter;
  if (HasArpEntry(state, record.address)) return kErrorObjectExists;
  state.network.arp.push_back(record);
  return 0;
}

uint32_t RemoveArpEntry(AdapterState& state, const Ip4& address) {
  std::vector<ArpRecord>& arp = state.network.arp;
  const auto found = std::find_if(arp.begin(), arp.end(),
                                  [&](const ArpRecord& r) { return r.address == address; });
  if (found == arp.end()) return kErrorNotFound;
  arp.erase(found);
  return 0;
}

std::vector<uint8_t> BuildIpPacket(const Ip4& from, const Ip4& to, int protocol,
                                   const std::vector<uint8_t>& payload) {
  constexpr size_t kHeader = 20;
  std::vector<uint8_t> packet(kHeader + payload.size());
  const size_t total = packet.size();
  packet[0] = 0x45;
  packet[2] = static_cast<uint8_t>(total >> 8);
  packet[3] = static_cast<uint8_t>(total);
  packet[8] = 64;  // time to live
  packet[9] = static_cast<uint8_t>(protocol);
  std::copy(from.begin(), from.end(), packet.begin() + 12);
  std::copy(to.begin(), to.end(), packet.begin() + 16);
  const uint16_t sum = Checksum(packet, 0, kHeader);
  packet[10] = static_cast<uint8_t>(sum >> 8);
  packet[11] = static_cast<uint8_t>(sum);
  std::copy(payload.begin(), payload.end(), packet.begin() + kHeader);
  return packet;
}

std::string FormatIp4(const Ip4& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
         std::to_string(address[2]) + "." + std::to_string(address[3]);
}

bool ParseIp4(const std::string& text, Ip4* address) {
  Ip4 parsed{};
  size_t position = 0;
  for (size_t part = 0; part < 4; ++part) {
    if (part > 0 && (position >= text.size() || text[position++] != '.')) return false;
    const size_t start = position;
    unsigned value = 0;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9' &&
           position - start < 3) {
      value = value * 10 + static_cast<unsigned>(text[position++] - '0');
    }
    const size_t digits = position - start;
    if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0')) return false;
    parsed[part] = static_cast<uint8_t>(value);
  }
  if (position != text.size()) return false;
  *address = parsed;
  return true;
}

std::string FormatPeer(const Peer& peer) {
  std::string text = FormatIp4(peer.address);
  if (peer.silent) text += " silent";
  if (peer.foreign != 0) text += " foreign=" + std::to_string(peer.foreign);
  if (peer.noise != 0) text += " noise=" + std::to_string(peer.noise);
  if (peer.reply_type != 0) text += " type=" + std::to_string(peer.reply_type);
  if (peer.delay_ms != 0) text += " delay=" + std::to_string(peer.delay_ms);
  return text;
}

bool ParsePeer(const std::string& text, Peer* peer) {
  std::istringstream words(text);
  std::string word;
  Peer parsed;
  if (!(words >> word) || !ParseIp4(word, &parsed.address)) return false;
  while (words >> word) {
    if (word == "silent") {
      parsed.silent = true;
      continue;
    }
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
        value.size() > 9) {
      return false;
    }
    const auto number = static_cast<uint32_t>(std::stoul(value));
    if (name == "foreign") {
      parsed.foreign = number;
    } else if (name == "noise") {
      parsed.noise = number;
    } else if (name == "type" && number <= 255) {
      parsed.reply_type = number;
    } else if (name == "delay") {
      parsed.delay_ms = number;
    } else {
      return false;
    }
  }
  *peer = parsed;
  return true;
}

std::string FormatPhysical(const Physical& physical) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", physical[0], physical[1],
                physical[2], physical[3], physical[4], physical[5]);
  return text;
}

bool ParsePhysical(const std::string& text, Physical* physical) {
  constexpr size_t kLength = 17;
  if (text.size() != kLength) return false;
  Physical parsed{};
  for (size_t i = 0; i < parsed.size(); ++i) {
    const size_t at = 3 * i;
    if ((i > 0 && text[at - 1] != '-') || !std::isxdigit(static_cast<unsigned char>(text[at])) ||
        !std::isxdigit(static_cast<unsigned char>(text[at + 1]))) {
      return false;
    }
    parsed[i] = static_cast<uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16));
  }
  *physical = parsed;
  return true;
}

std::string FormatArp(const ArpRecord& record) {
  return std::to_string(record.interface_index) + " " + FormatIp4(record.address) + " " +
         FormatPhysical(record.physical) + " " + std::to_string(record.type);
}

bool ParseArp(const std::string& text, ArpRecord* record) {
  std::istringstream words(text);
  std::string index;
  std::string address;
  std::string physical;
  std::string type;
  std::string extra;
  if (!(words >> index >> address >> physical >> type) || (words >> extra)) return false;
  ArpRecord parsed;
  if (index.find_first_not_of("0123456789") != std::string::npos || index.size() > 9 ||
      type.find_first_not_of("0123456789") != std::string::npos || type.size() > 9 ||
      !ParseIp4(address, &parsed.address) || !ParsePhysical(physical, &parsed.physical)) {
    return false;
  }
  parsed.interface_index = static_cast<uint32_t>(std::stoul(index));
  parsed.type = static_cast<uint32_t>(std::stoul(type));
  *record = parsed;
  return true;
}

}  // namespace emu
