// loopback_exchange.cpp - one exchange through the external loopback connector: a static ARP
// entry for a made-up neighbour, a raw packet sent to it, and the copy that comes back captured
// by a receive-all socket.
#include <algorithm>
#include <vector>

#include "net/cping.h"
#include "net/loopback_peer.h"

namespace {

constexpr int kTestPacketSize = 32;
constexpr uint8_t kPayloadByte = 0x45;
constexpr int kReceiveBufferSize = 65540;
constexpr int kPacketsPerExchange = 2;  // the packet going out, then the one coming back

}  // namespace

int CPing::loopbackTest(int32_t interface_index, const char* address) {
  Sockets& sockets = run_.services.sockets;
  Process& process = run_.services.process;
  const NetworkServices& services = run_.services;
  char peer[kPeerAddressSize] = {};
  GetLoopbackPeerAddress(address, peer);

  CreateArpEntry(services, peer, interface_index);
  const auto remove_arp = [&] { DeleteArpEntry(services, peer, interface_index); };
  int64_t frequency = 0;
  if (!run_.clock.QueryPerformanceFrequency(&frequency)) {
    run_.console.Error(
        "CPing::loopbackTest, Failed to get the high performance counter frequency\n");
    remove_arp();
    return 0;
  }
  Ip4Address destination;
  if (!services.names.ParseDottedQuad(peer, &destination) &&
      !services.names.ResolveHost(peer, &destination)) {
    remove_arp();
    return 0;
  }
  const SocketHandle socket = sockets.OpenRaw(kProtocolIp);
  if (socket == kNoSocket) {
    remove_arp();
    return 0;
  }
  // Closing and removing the entry must not hide why the exchange failed.
  const auto fail_keeping_error = [&] {
    const uint32_t error = process.LastError();
    sockets.Close(socket);
    process.SetLastError(error);
    remove_arp();
    return 0;
  };
  if (address[0] != '\0' && !BindToAddress(socket, address)) return fail_keeping_error();
  if (!sockets.ReceiveAll(socket, true)) {
    sockets.Close(socket);
    remove_arp();
    return 0;
  }

  std::vector<uint8_t> packet(kTestPacketSize, kPayloadByte);
  std::vector<uint8_t> buffer(kReceiveBufferSize);
  const int sent = sockets.SendTo(socket, packet.data(), kTestPacketSize, destination);
  if (sent < 0) return fail_keeping_error();

  int judgement = 0;
  for (int count = 0; count < kPacketsPerExchange; ++count) {
    int readable = 0;
    if (WaitForReadable(sockets, socket, &readable) == 0) return fail_keeping_error();
    std::fill(buffer.begin(), buffer.end(), 0);
    if (readable == 0) {
      sockets.Close(socket);
      process.SetLastError(kErrorTimedOut);
      remove_arp();
      return 0;
    }
    Ip4Address from;
    const int received = sockets.ReceiveFrom(socket, buffer.data(), kReceiveBufferSize, &from);
    if (received < 0) return fail_keeping_error();
    judgement = ComparePayload(buffer.data(), received, packet.data(), sent);
  }
  sockets.Close(socket);
  remove_arp();
  return judgement;
}
