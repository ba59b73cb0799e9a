// network_lines.cpp - formatting and parsing the network lines of the state file.
#include "emu/network_lines.h"

#include "emu/network_model.h"
#include "emu/text_codec.h"

namespace emu {
namespace {

bool ParseCount(const std::string& text, uint32_t* value) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *value = static_cast<uint32_t>(std::stoul(text));
  return true;
}

}  // namespace

std::string FormatNetworkLines(const NetworkState& n) {
  std::string out;
  if (!n.description.empty()) out += "net_description " + QuoteText(n.description) + "\n";
  if (n.interface_index != 0) out += "net_interface " + std::to_string(n.interface_index) + "\n";
  if (n.has_address) out += "net_address " + FormatIp4(n.address) + "\n";
  if (n.address_after != 0) out += "net_address_after " + std::to_string(n.address_after) + "\n";
  if (n.has_physical) out += "net_physical " + FormatPhysical(n.physical) + "\n";
  for (const Peer& peer : n.peers) out += "peer " + FormatPeer(peer) + "\n";
  if (n.plug_speed != 0) out += "plug " + std::to_string(n.plug_speed) + "\n";
  if (n.plug_noise != 0) out += "plug_noise " + std::to_string(n.plug_noise) + "\n";
  for (const ArpRecord& record : n.arp) out += "arp " + FormatArp(record) + "\n";
  return out;
}

LineResult ParseNetworkLine(const std::string& key, const std::string& rest,
                            NetworkState* network) {
  bool ok = true;
  if (key == "net_description") {
    ok = UnquoteText(rest, &network->description);
  } else if (key == "net_interface") {
    ok = ParseCount(rest, &network->interface_index);
  } else if (key == "net_address") {
    ok = ParseIp4(rest, &network->address);
    network->has_address = ok;
  } else if (key == "net_address_after") {
    ok = ParseCount(rest, &network->address_after);
  } else if (key == "net_physical") {
    ok = ParsePhysical(rest, &network->physical);
    network->has_physical = ok;
  } else if (key == "peer") {
    Peer peer;
    ok = ParsePeer(rest, &peer);
    if (ok) network->peers.push_back(peer);
  } else if (key == "plug") {
    ok = (rest == "100" || rest == "1000") && ParseCount(rest, &network->plug_speed);
  } else if (key == "plug_noise") {
    ok = ParseCount(rest, &network->plug_noise);
  } else if (key == "arp") {
    ArpRecord record;
    ok = ParseArp(rest, &record);
    if (ok) network->arp.push_back(record);
  } else {
    return LineResult::kNotNetwork;
  }
  return ok ? LineResult::kParsed : LineResult::kBad;
}

}  // namespace emu
