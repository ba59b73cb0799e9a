// network_commands.cpp - the network around an adapter: the host adapter the system shows, the
// peers on the wire, the external loopback plug and the ARP entries on its interface.
#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "emu/emu_clock.h"
#include "emu/link_model.h"
#include "emu/network_model.h"
#include "tool_commands.h"

namespace tool {
namespace {

void PrintHost(uint32_t index, const emu::AdapterState& s) {
  const emu::NetworkState& n = s.network;
  std::printf("adapter %" PRIu32 ": \"%s\", interface %" PRIu32 ", address %s", index,
              emu::HostDescription(s).c_str(), emu::HostInterfaceIndex(s),
              n.has_address ? emu::FormatIp4(n.address).c_str() : "none");
  if (n.has_address && n.address_after != 0) {
    std::printf(" after %" PRIu32 " lookups", n.address_after);
  }
  std::printf(", physical %s%s\n", emu::FormatPhysical(emu::HostPhysicalAddress(s)).c_str(),
              n.has_physical ? " (set)" : "");
}

bool ParseCountOption(ToolArgs& args, const char* name, uint32_t* value) {
  if (!args.Has(name)) return true;
  if (ParseU32(args.Value(name), value)) return true;
  args.Fail(std::string("bad --") + name + " \"" + args.Value(name) + "\"");
  return false;
}

}  // namespace

int NetCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  uint32_t interface_index = 0;
  uint32_t after = 0;
  emu::Ip4 address{};
  const std::string& address_text = args.Value("address");
  if (args.Has("address") && address_text != "none" && !emu::ParseIp4(address_text, &address)) {
    args.Fail("bad --address \"" + address_text + "\" (a.b.c.d or none)");
    return kExitUsage;
  }
  if (!ParseCountOption(args, "interface", &interface_index) ||
      !ParseCountOption(args, "address-after", &after)) {
    return kExitUsage;
  }
  emu::Physical physical{};
  const std::string& physical_text = args.Value("physical");
  if (args.Has("physical") && physical_text != "board" &&
      !emu::ParsePhysical(physical_text, &physical)) {
    args.Fail("bad --physical \"" + physical_text + "\" (aa-bb-cc-dd-ee-ff or board)");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    emu::NetworkState& n = s.network;
    if (args.Has("description")) n.description = args.Value("description");
    if (args.Has("interface")) n.interface_index = interface_index;
    if (args.Has("address")) {
      n.has_address = address_text != "none";
      n.address = n.has_address ? address : emu::Ip4{};
    }
    if (args.Has("address-after")) n.address_after = after;
    if (args.Has("physical")) {
      n.has_physical = physical_text != "board";
      n.physical = physical;
    }
    PrintHost(index, s);
    return kExitOk;
  });
}

int PeerCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  emu::Peer peer;
  const bool adding = !args.positional().empty();
  if (adding && !emu::ParseIp4(args.positional()[0], &peer.address)) {
    args.Fail("bad peer address \"" + args.positional()[0] + "\"");
    return kExitUsage;
  }
  peer.silent = args.Has("silent");
  if (!ParseCountOption(args, "foreign", &peer.foreign) ||
      !ParseCountOption(args, "noise", &peer.noise) ||
      !ParseCountOption(args, "type", &peer.reply_type) ||
      !ParseCountOption(args, "delay", &peer.delay_ms)) {
    return kExitUsage;
  }
  if (peer.reply_type > 0xFF) {
    args.Fail("bad --type (one byte)");
    return kExitUsage;
  }
  emu::Ip4 removed{};
  if (args.Has("remove") && !emu::ParseIp4(args.Value("remove"), &removed)) {
    args.Fail("bad --remove \"" + args.Value("remove") + "\"");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    std::vector<emu::Peer>& peers = s.network.peers;
    if (args.Has("clear")) peers.clear();
    const auto same = [](const emu::Ip4& a) {
      return [a](const emu::Peer& p) { return p.address == a; };
    };
    if (args.Has("remove")) std::erase_if(peers, same(removed));
    if (adding) {
      std::erase_if(peers, same(peer.address));
      peers.push_back(peer);
    }
    for (const emu::Peer& each : peers) {
      std::printf("adapter %" PRIu32 ": peer %s\n", index, emu::FormatPeer(each).c_str());
    }
    return kExitOk;
  });
}

int PlugCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  uint32_t speed = 0;
  const bool setting = !args.positional().empty();
  if (setting) {
    const std::string& word = args.positional()[0];
    if (word == "100" || word == "1000") {
      speed = word == "100" ? 100 : 1000;
    } else if (word != "none") {
      args.Fail("bad plug \"" + word + "\" (100, 1000 or none)");
      return kExitUsage;
    }
  }
  uint32_t noise = 0;
  if (!ParseCountOption(args, "noise", &noise)) return kExitUsage;
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    if (setting) {
      const int64_t now = emu::AdapterNowMs(s);
      emu::TrackLink(s, now);
      s.network.plug_speed = speed;
      emu::RestartLink(s, now);
    }
    if (args.Has("noise")) s.network.plug_noise = noise;
    if (s.network.plug_speed == 0) {
      std::printf("adapter %" PRIu32 ": no loopback plug\n", index);
    } else {
      std::printf("adapter %" PRIu32 ": loopback plug %" PRIu32 " Mb/s, noise %" PRIu32 "\n", index,
                  s.network.plug_speed, s.network.plug_noise);
    }
    return kExitOk;
  });
}

int ArpCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  return WithAdapter(dir, index, args.Has("clear"), [&](emu::AdapterState& s) {
    if (args.Has("clear")) s.network.arp.clear();
    for (const emu::ArpRecord& record : s.network.arp) {
      std::printf("%s\n", emu::FormatArp(record).c_str());
    }
    return kExitOk;
  });
}

}  // namespace tool
