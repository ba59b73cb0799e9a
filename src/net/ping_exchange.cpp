// ping_exchange.cpp - one ICMP echo exchange over a raw socket.
#include <vector>

#include "net/cping.h"

namespace {

constexpr int kEchoRequestSize = 44;
constexpr int kTimeToLive = 10;
constexpr int kTypeOfService = 0;
constexpr int kReceiveBufferSize = 65532;
constexpr uint16_t kSequence = 0;
// Unrelated traffic restarts the one-second wait for each packet; a try ends this long after its
// send whatever arrives.
constexpr uint32_t kTryDeadlineMilliseconds = 4000;

}  // namespace

int CPing::PingUsingWinsock(const char* host, uint32_t identifier, const char* source) {
  Sockets& sockets = run_.services.sockets;
  Process& process = run_.services.process;
  int64_t frequency = 0;
  if (!run_.clock.QueryPerformanceFrequency(&frequency)) {
    run_.console.Error(
        "CPing::PingUsingWinsock, Failed to get the high performance counter frequency\n");
    return 0;
  }
  Ip4Address destination;
  if (!run_.services.names.ParseDottedQuad(host, &destination) &&
      !run_.services.names.ResolveHost(host, &destination)) {
    return 0;
  }
  const SocketHandle socket = sockets.OpenRaw(kProtocolIcmp);
  if (socket == kNoSocket) return 0;
  // Closing must not hide why the try failed.
  const auto close_keeping_error = [&] {
    const uint32_t error = process.LastError();
    sockets.Close(socket);
    process.SetLastError(error);
  };
  // Bound to the controller's address, the request leaves through the controller's adapter even
  // when another adapter of the host also reaches the destination.
  if (source[0] != '\0' && !BindToAddress(socket, source)) {
    close_keeping_error();
    return 0;
  }
  if (!sockets.SetIpOption(socket, IpOption::kTimeToLive, kTimeToLive) ||
      !sockets.SetIpOption(socket, IpOption::kTypeOfService, kTypeOfService)) {
    close_keeping_error();
    return 0;
  }
  uint8_t request[kEchoRequestSize];
  BuildEchoRequest(request, kEchoRequestSize, kSequence, identifier);
  std::vector<uint8_t> buffer(kReceiveBufferSize);
  if (sockets.SendTo(socket, request, kEchoRequestSize, destination) < 0) {
    close_keeping_error();
    return 0;
  }

  const uint32_t sent_at = run_.clock.GetTickCount();
  int result = 0;
  int keep_waiting = 1;
  while (keep_waiting == 1) {
    if (run_.clock.GetTickCount() - sent_at >= kTryDeadlineMilliseconds) {
      sockets.Close(socket);
      process.SetLastError(kErrorTimedOut);
      return 0;
    }
    int readable = 0;
    if (WaitForReadable(sockets, socket, &readable) == 0) {
      close_keeping_error();
      return 0;
    }
    if (readable == 0) {
      sockets.Close(socket);
      process.SetLastError(kErrorTimedOut);
      return 0;
    }
    Ip4Address from;
    const int received = sockets.ReceiveFrom(socket, buffer.data(), kReceiveBufferSize, &from);
    if (received < 0) {
      close_keeping_error();
      return 0;
    }
    result = CheckEchoReply(buffer.data(), received, from, kSequence, &keep_waiting);
  }
  sockets.Close(socket);
  return result;
}
